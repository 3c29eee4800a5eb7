# xsession.sh - a private virtual X server for running the demos without a display, and helpers
# that find their windows and drive them. Source it (bash); it only defines functions.
#
# Every wait is for a condition the X server shows (a window mapped, a colour on screen, the
# keyboard focus), polled within a generous bound: a loaded machine makes the checks slower,
# not flaky. Bounds are in seconds.
#
#   xs_start_display          starts Xvfb (1024x768x24) on a free display and exports DISPLAY
#   xs_start_window_manager   starts openbox on it and waits until it manages windows
#   xs_track PID              kills PID in xs_cleanup unless it has ended by then
#   xs_wait_window PID TITLE SECONDS
#                             prints the id of PID's mapped window titled TITLE (exact match)
#   xs_wait_title TITLE SECONDS
#                             prints the id of any mapped window titled TITLE
#   xs_wait_colour WINDOW X Y RRGGBB SECONDS
#                             waits until the window shows RRGGBB around (X, Y), e.g. its first
#                             frame's background
#   xs_focus WINDOW SECONDS   gives WINDOW the keyboard focus and waits until it has it
#   xs_hold_key_until_exit KEY PID SECONDS
#                             holds KEY down until PID ends (for a program polling the key state)
#   xs_wait_exit PID SECONDS  waits for the child PID to end; returns its status (124: timed out)
#   xs_cleanup                ends everything started here (call it from an EXIT trap)

xs_tracked=()
xs_temp=""
xs_wm_pid=""
xs_poll=0.1

xs_track() { xs_tracked+=("$1"); }

# Waits up to 60 s for the shell condition $1 to hold while process $2 runs; otherwise says $3 and
# shows the log $4.
xs_wait_until() {
  local condition=$1 pid=$2 what=$3 log=$4
  local deadline=$((SECONDS + 60))
  until eval "$condition"; do
    if [ $SECONDS -ge $deadline ] || ! kill -0 "$pid" 2>/dev/null; then
      echo "xsession: $what" >&2
      cat "$log" >&2
      return 1
    fi
    sleep "$xs_poll"
  done
}

xs_start_display() {
  xs_temp=$(mktemp -d /tmp/xsession.XXXXXX)
  # -displayfd: the server picks a free display itself (no collision with servers started in
  # parallel) and writes its number once it accepts connections.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$xs_temp/display" >"$xs_temp/xvfb.log" 2>&1 &
  local xvfb=$!
  xs_track "$xvfb"
  xs_wait_until "grep -q '^[0-9]' '$xs_temp/display' 2>/dev/null" "$xvfb" "Xvfb did not start" "$xs_temp/xvfb.log" ||
    return 1
  DISPLAY=:$(head -n1 "$xs_temp/display")
  export DISPLAY
}

# openbox runs its --startup command once it has taken over the screen and entered its running
# state. Only then may windows be mapped: a map request that arrives while openbox starts up can
# be read into its internal queue, which its main loop does not look at until the next X event
# comes (the program's window would then stay unmapped, its ShowWindow waiting forever).
xs_start_window_manager() {
  openbox --startup "touch $xs_temp/wm-running" >"$xs_temp/openbox.log" 2>&1 &
  xs_wm_pid=$!
  xs_track "$xs_wm_pid"
  xs_wait_until "[ -e '$xs_temp/wm-running' ]" "$xs_wm_pid" "openbox did not start on $DISPLAY" "$xs_temp/openbox.log"
}

# Says what the X server knows of PID's windows and of the window manager (for failure messages).
xs_describe_windows() {
  local pid=$1 id
  echo "window manager: ${xs_wm_pid:-none} $(kill -0 "${xs_wm_pid:-0}" 2>/dev/null && echo alive || echo gone)" >&2
  for id in $(xdotool search --pid "$pid" 2>/dev/null); do
    xwininfo -id "$id" 2>/dev/null | grep -E 'xwininfo|Map State' >&2 || true
  done
  [ -f "$xs_temp/openbox.log" ] && tail -n 20 "$xs_temp/openbox.log" >&2
  return 0
}

xs_is_mapped() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

xs_wait_window() {
  local pid=$1 title=$2 deadline=$((SECONDS + $3)) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --onlyvisible --pid "$pid" --name "^${title}\$" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || return 1
    sleep $xs_poll
  done
  xs_describe_windows "$pid"
  return 1
}

xs_wait_title() {
  local title=$1 deadline=$((SECONDS + $2)) id
  while [ $SECONDS -lt $deadline ]; do
    # xwininfo, not xdotool: xdotool misses windows whose WM_NAME is of type UTF8_STRING, as SDL's
    # message box sets it.
    id=$(xwininfo -root -tree 2>/dev/null | awk -v name=" \"$title\": " 'index($0, name) {print $1; exit}')
    if [ -n "$id" ] && xs_is_mapped "$id"; then
      echo "$id"
      return 0
    fi
    sleep $xs_poll
  done
  return 1
}

# Prints the colour (RRGGBB, upper case) of the 4x4 pixels at (X, Y) of WINDOW, averaged.
xs_colour_at() {
  (import -window "$1" png:- | convert - -crop "4x4+$2+$3" +repage -scale 1x1\! -depth 8 txt:- |
    sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr 'a-f' 'A-F') 2>/dev/null || true
}

xs_wait_colour() {
  local window=$1 x=$2 y=$3 colour=$4 deadline=$((SECONDS + $5)) seen=""
  while [ $SECONDS -lt $deadline ]; do
    seen=$(xs_colour_at "$window" "$x" "$y")
    [ "$seen" = "$colour" ] && return 0
    sleep $xs_poll
  done
  echo "xsession: ($x, $y) of window $window shows #$seen, not #$colour" >&2
  return 1
}

xs_focus() {
  local window=$1 deadline=$((SECONDS + $2))
  until [ "$(xdotool getwindowfocus 2>/dev/null)" = "$((window))" ]; do
    [ $SECONDS -lt $deadline ] || return 1
    xdotool windowfocus "$window" 2>/dev/null || true
    sleep $xs_poll
  done
}

# The key stays down until the program has seen it and ended, however long it takes to reach its
# next poll of the key state.
xs_hold_key_until_exit() {
  local key=$1 pid=$2 seconds=$3 status=0
  xdotool keydown "$key"
  xs_wait_exit "$pid" "$seconds" || status=$?
  xdotool keyup "$key"
  return $status
}

xs_wait_exit() {
  local pid=$1 deadline=$((SECONDS + $2))
  while kill -0 "$pid" 2>/dev/null; do
    if [ $SECONDS -ge $deadline ]; then
      return 124
    fi
    sleep $xs_poll
  done
  local status=0
  wait "$pid" || status=$?
  return $status
}

xs_cleanup() {
  local i pid
  for ((i = ${#xs_tracked[@]} - 1; i >= 0; i--)); do
    pid=${xs_tracked[i]}
    if kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
      local deadline=$((SECONDS + 10))
      while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep $xs_poll; done
      kill -9 "$pid" 2>/dev/null || true
    fi
    wait "$pid" 2>/dev/null || true
  done
  xs_tracked=()
  if [ -n "$xs_temp" ]; then
    rm -rf "$xs_temp"
    xs_temp=""
  fi
}
