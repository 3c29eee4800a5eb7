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

# Waits for the program's main window and sets e2e_window.
e2e_wait_main_window() {
  e2e_window=$(xs_wait_window "$e2e_pid" "$e2e_title" 30) ||
    e2e_fail "no window titled '$e2e_title' appeared (program alive: $(kill -0 "$e2e_pid" 2>/dev/null && echo yes || echo no))"
}

# Expects the program to end with `expected` status within 15 s.
e2e_expect_exit() {
  local expected=$1 what=$2 status=0
  xs_wait_exit "$e2e_pid" 15 || status=$?
  [ "$status" -ne 124 ] || e2e_fail "$what: the program did not end"
  [ "$status" -eq "$expected" ] || e2e_fail "$what: exit status $status, expected $expected"
}
