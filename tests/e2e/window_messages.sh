#!/usr/bin/env bash
# window_messages.sh MESSAGE_LOG_WINDOW: a small program's window on a real X server receives
# what the user does, packed as the platform packs it. Typing gives WM_KEYDOWN / WM_CHAR / WM_KEYUP
# with set-1 scan codes; a click and a drag give button and move messages in client coordinates;
# a double click gives WM_LBUTTONDBLCLK (its class has CS_DBLCLKS); the wheel towards the user gives
# -120; a resize gives WM_SIZE with the new client size; the first show sends its sequence before
# WM_SIZE and WM_MOVE, then WM_PAINT. Escape ends the program with status 0.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/xsession.sh"
program=${1:?usage: $0 MESSAGE_LOG_WINDOW}
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

fail() {
  echo "FAIL: $*" >&2
  [ -f "${log:-}" ] && sed 's/^/  log: /' "$log" >&2
  exit 1
}

for tool in Xvfb openbox xdotool xwininfo; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/install-deps)" >&2; exit 77; }
done

trap xs_cleanup EXIT
xs_start_display
xs_start_window_manager
log=$xs_temp/messages.log

# Waits until the log has a line matching the extended regular expression $1.
wait_log() {
  local deadline=$((SECONDS + 60))
  until grep -Eq "$1" "$log" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "no line matching '$1' was logged"
    sleep $xs_poll
  done
}

"$program" "$log" &
pid=$!
xs_track "$pid"
window=$(xs_wait_window "$pid" "message log" 60) || fail "no window titled 'message log' appeared"

# The first show: its messages in order, WM_SIZE with the 400 x 300 client area, then WM_PAINT.
wait_log '^WM_PAINT '
order=$(grep -Eo '^WM_(CREATE|SHOWWINDOW|ACTIVATEAPP|ACTIVATE|SETFOCUS|SIZE|MOVE|PAINT)' "$log" | uniq | head -n 8 | tr '\n' ' ')
[ "$order" = "WM_CREATE WM_SHOWWINDOW WM_ACTIVATEAPP WM_ACTIVATE WM_SETFOCUS WM_SIZE WM_MOVE WM_PAINT " ] ||
  fail "creation and show came as: $order"
grep -q '^WM_SIZE 00000000 012c0190$' "$log" || fail "the first WM_SIZE does not carry 400 x 300"

xs_focus "$window" 60 || fail "the window did not get the keyboard focus"
xdotool type --delay 50 'aB'
wait_log '^WM_CHAR 00000042 '
wait_log '^WM_KEYDOWN 00000041 001e0001$'
wait_log '^WM_CHAR 00000061 001e0001$'
wait_log '^WM_KEYUP 00000041 c01e0001$'
wait_log '^WM_KEYDOWN 00000010 002a0001$'
xdotool key Left
wait_log '^WM_KEYDOWN 00000025 014b0001$'

xdotool mousemove --window "$window" 100 50 click 1
wait_log '^WM_LBUTTONDOWN 00000001 00320064$'
wait_log '^WM_LBUTTONUP 00000000 00320064$'
xdotool mousemove --window "$window" 20 20 mousedown 1 mousemove --window "$window" 60 40 mouseup 1
wait_log '^WM_MOUSEMOVE 00000001 0028003c$'
xdotool mousemove --window "$window" 200 150 click --repeat 2 --delay 80 1
wait_log '^WM_LBUTTONDBLCLK 00000001 00960' 
xdotool click 5
wait_log '^WM_MOUSEWHEEL ff880000 '

timeout 60 xdotool windowsize --sync "$window" 500 350 || fail "the window was not resized"
wait_log '^WM_SIZE 00000000 015e01f4$'

xs_focus "$window" 60 || fail "the window did not get the keyboard focus back"
status=0
xdotool key Escape
xs_wait_exit "$pid" 60 || status=$?
[ "$status" -eq 0 ] || fail "Escape: exit status $status, expected 0"
wait_log '^WM_DESTROY '
echo "PASS: keys, characters, clicks, drags, double clicks, the wheel and a resize arrive packed as documented"
