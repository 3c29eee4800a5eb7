# xsession.sh - a private virtual X server for running the demos without a display, and helpers
# that find their windows and drive them. Source it (bash); it only defines functions.
#
#   xs_start_display          starts Xvfb (1024x768x24) on a free display and exports DISPLAY
#   xs_start_window_manager   starts openbox on it and waits until it manages windows
#   xs_track PID              kills PID in xs_cleanup unless it has ended by then
#   xs_wait_window PID TITLE SECONDS
#                             prints the id of PID's visible window titled TITLE (exact match)
#   xs_wait_title TITLE SECONDS
#                             prints the id of any visible window titled TITLE
#   xs_hold_key KEY           presses KEY for 0.3 s (long enough for a program polling per frame)
#   xs_wait_exit PID SECONDS  waits for the child PID to end; returns its status (124: timed out)
#   xs_cleanup                ends everything started here (call it from an EXIT trap)

xs_tracked=()
xs_temp=""
xs_wm_pid=""

xs_track() { xs_tracked+=("$1"); }

xs_start_display() {
  xs_temp=$(mktemp -d /tmp/xsession.XXXXXX)
  # -displayfd: the server picks a free display itself and writes its number when it is ready.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$xs_temp/display" >"$xs_temp/xvfb.log" 2>&1 &
  xs_track $!
  local deadline=$((SECONDS + 15))
  until grep -q '^[0-9]' "$xs_temp/display" 2>/dev/null; do
    if [ $SECONDS -ge $deadline ]; then
      echo "xsession: Xvfb did not start" >&2
      cat "$xs_temp/xvfb.log" >&2
      return 1
    fi
    sleep 0.05
  done
  DISPLAY=:$(head -n1 "$xs_temp/display")
  export DISPLAY
}

xs_start_window_manager() {
  local attempts=0 deadline=$((SECONDS + 20))
  local wm_pid=""
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    # openbox occasionally gives up right after starting on a busy machine: start it again.
    if [ -z "$wm_pid" ] || ! kill -0 "$wm_pid" 2>/dev/null; then
      if [ $attempts -ge 3 ] || [ $SECONDS -ge $deadline ]; then
        echo "xsession: openbox did not start on $DISPLAY" >&2
        cat "$xs_temp/openbox.log" >&2
        return 1
      fi
      attempts=$((attempts + 1))
      openbox >>"$xs_temp/openbox.log" 2>&1 &
      wm_pid=$!
      xs_track "$wm_pid"
    fi
    if [ $SECONDS -ge $deadline ]; then
      echo "xsession: openbox did not start on $DISPLAY" >&2
      cat "$xs_temp/openbox.log" >&2
      return 1
    fi
    sleep 0.05
  done
  xs_wm_pid=$wm_pid
}

# The window manager died (it can, right after starting on a busy machine): a window whose map
# request it never answered stays unmapped. Start another one and ask again.
xs_recover_window_manager() {
  local id=$1
  if [ -n "$xs_wm_pid" ] && ! kill -0 "$xs_wm_pid" 2>/dev/null; then
    echo "xsession: openbox ended; starting it again" >&2
    xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>/dev/null || true
    xs_start_window_manager || return 1
  fi
  xdotool windowmap "$id" 2>/dev/null || true
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

xs_wait_window() {
  local pid=$1 title=$2 deadline=$((SECONDS + $3)) id hidden_since=""
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --onlyvisible --pid "$pid" --name "^${title}\$" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || return 1
    id=$(xdotool search --pid "$pid" --name "^${title}\$" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then
      hidden_since=${hidden_since:-$SECONDS}
      if [ $((SECONDS - hidden_since)) -ge 3 ]; then
        xs_recover_window_manager "$id" >&2
        hidden_since=$SECONDS
      fi
    fi
    sleep 0.05
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
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.05
  done
  return 1
}

xs_hold_key() {
  xdotool keydown "$1"
  sleep 0.3
  xdotool keyup "$1"
}

xs_wait_exit() {
  local pid=$1 deadline=$((SECONDS + $2))
  while kill -0 "$pid" 2>/dev/null; do
    if [ $SECONDS -ge $deadline ]; then
      return 124
    fi
    sleep 0.05
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
      local deadline=$((SECONDS + 3))
      while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.05; done
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
