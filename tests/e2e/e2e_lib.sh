# e2e_lib.sh - common set-up of the end-to-end checks: a private Xvfb with openbox, the program
# under test started in it, and cleanup of everything on any exit. Source it from a check.
#
# A check is called as: check.sh PROGRAM [MODEL_FILE]
#   PROGRAM      the demo executable
#   MODEL_FILE   the model the program reads from its folder; when given and absent there, the
#                check is skipped (exit 77), since the program then stops at its error message.

set -euo pipefail
e2e_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$e2e_here/../../scripts/xsession.sh"

e2e_program=${1:?usage: $0 PROGRAM [MODEL_FILE]}
e2e_model=${2:-}
readonly e2e_title="DirectX simple shapes"
# Leak reports of SDL and Xlib internals would turn a sanitizer build's exit codes into noise.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

e2e_fail() {
  echo "FAIL: $*" >&2
  exit 1
}

e2e_skip() {
  echo "SKIP: $*" >&2
  exit 77
}

for tool in Xvfb openbox xdotool xwininfo xprop; do
  command -v "$tool" >/dev/null || e2e_skip "$tool is not installed (scripts/install-deps)"
done
[ -x "$e2e_program" ] || e2e_fail "no program at $e2e_program"

# Skips the check when the program's model is not beside it.
e2e_require_model() {
  [ -z "$e2e_model" ] || [ -f "$(dirname "$e2e_program")/$e2e_model" ] ||
    e2e_skip "needs the model file '$e2e_model' beside $(basename "$e2e_program")"
}

trap xs_cleanup EXIT
xs_start_display
xs_start_window_manager

# Starts the program (optionally a copy at $2, from directory $1) and sets e2e_pid.
e2e_start_program() {
  local directory=${1:-$PWD} executable=${2:-$e2e_program}
  (cd "$directory" && exec "$executable") &
  e2e_pid=$!
  xs_track "$e2e_pid"
}

# Waits for the program's main window to be mapped and sets e2e_window.
e2e_wait_main_window() {
  e2e_window=$(xs_wait_window "$e2e_pid" "$e2e_title" 60) ||
    e2e_fail "no window titled '$e2e_title' appeared (program alive: $(kill -0 "$e2e_pid" 2>/dev/null && echo yes || echo no))"
}

# Waits until the main window shows a frame: the scene's background colour (RRGGBB) in its corner
# instead of the white the window shows before its first frame.
e2e_wait_first_frame() {
  xs_wait_colour "$e2e_window" 2 2 "$1" 60 || e2e_fail "no frame was shown"
}

# Expects the program to end with `expected` status.
e2e_expect_exit() {
  local expected=$1 what=$2 status=0
  xs_wait_exit "$e2e_pid" 60 || status=$?
  e2e_check_status "$status" "$expected" "$what"
}

# Holds Escape until the program ends and expects it to end with status 0.
e2e_end_with_escape() {
  local what=$1 status=0
  xs_hold_key_until_exit Escape "$e2e_pid" 60 || status=$?
  e2e_check_status "$status" 0 "$what"
}

# Waits for the program's message box (titled "Info") to be mapped and sets e2e_box.
e2e_wait_message_box() {
  e2e_box=$(xs_wait_title Info 60) || e2e_fail "no message box titled 'Info' appeared"
}

# Gives the message box the keyboard focus and presses Return there.
e2e_dismiss_message_box() {
  xs_focus "$e2e_box" 60 || e2e_fail "the message box did not get the keyboard focus"
  xdotool key Return
}

e2e_check_status() {
  local status=$1 expected=$2 what=$3
  [ "$status" -ne 124 ] || e2e_fail "$what: the program did not end"
  [ "$status" -eq "$expected" ] || e2e_fail "$what: exit status $status, expected $expected"
}
