#!/usr/bin/env bash
# viewer_orbit.sh XMESH_VIEW: xmesh-view in a real window. The window is titled with the model's
# name (Central European letters intact) and triangle count; a left-button drag turns the model
# (the picture changes), the wheel zooms (it changes again), R brings back the first picture
# exactly, and Escape ends the program with exit status 0.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/xsession.sh"
viewer=${1:?usage: $0 XMESH_VIEW}
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

for tool in Xvfb openbox xdotool xwininfo import compare; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/install-deps)" >&2; exit 77; }
done

trap xs_cleanup EXIT
xs_start_display
xs_start_window_manager
work=$xs_temp

# A cube (Polish: sześcian) with smooth corner normals: its shading and outline change as it turns.
cat >"$work/sześcian.x" <<'MODEL'
xof 0303txt 0032
Mesh cube {
 8; -1;-1;-1;, -1;1;-1;, 1;1;-1;, 1;-1;-1;, -1;-1;1;, -1;1;1;, 1;1;1;, 1;-1;1;;
 12; 3;0,1,2;, 3;0,2,3;, 3;4,6,5;, 3;4,7,6;, 3;0,4,5;, 3;0,5,1;,
     3;3,2,6;, 3;3,6,7;, 3;1,5,6;, 3;1,6,2;, 3;0,3,7;, 3;0,7,4;;
 MeshNormals {
  8; -0.577;-0.577;-0.577;, -0.577;0.577;-0.577;, 0.577;0.577;-0.577;, 0.577;-0.577;-0.577;,
     -0.577;-0.577;0.577;, -0.577;0.577;0.577;, 0.577;0.577;0.577;, 0.577;-0.577;0.577;;
  12; 3;0,1,2;, 3;0,2,3;, 3;4,6,5;, 3;4,7,6;, 3;0,4,5;, 3;0,5,1;,
      3;3,2,6;, 3;3,6,7;, 3;1,5,6;, 3;1,6,2;, 3;0,3,7;, 3;0,7,4;;
 }
 MeshMaterialList { 1; 12; 0,0,0,0,0,0,0,0,0,0,0,0;;
  Material { 0.9;0.5;0.2;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
 }
}
MODEL

shot() { import -window "$window" "$work/$1.png" 2>/dev/null; }
# Number of pixels in which two screenshots differ.
differing() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1 || true; }

# Takes screenshot $1 until it differs from screenshot $2 (or, with $3 = same, equals it).
wait_picture() {
  local name=$1 other=$2 wanted=${3:-different} deadline=$((SECONDS + 60)) count
  while [ $SECONDS -lt $deadline ]; do
    shot "$name"
    count=$(differing "$name" "$other")
    if [ "$wanted" = same ] && [ "$count" = 0 ]; then return 0; fi
    if [ "$wanted" = different ] && [ -n "$count" ] && [ "$count" != 0 ]; then return 0; fi
    sleep $xs_poll
  done
  return 1
}

(cd "$work" && exec "$viewer" sześcian.x) &
pid=$!
xs_track "$pid"
window=$(xs_wait_window "$pid" "xmesh-view - sześcian.x (12 triangles)" 60) ||
  fail "no window titled 'xmesh-view - sześcian.x (12 triangles)' appeared"
xs_wait_colour "$window" 2 2 505050 60 || fail "no frame was shown"
shot first

xdotool mousemove --window "$window" 300 300 mousedown 1
for x in 320 340 360 380 400; do xdotool mousemove --window "$window" "$x" 320; done
xdotool mouseup 1
wait_picture dragged first || fail "a drag did not change the picture"

xdotool mousemove --window "$window" 400 300 click 4 click 4
wait_picture zoomed dragged || fail "the wheel did not change the picture"

xs_focus "$window" 60 || fail "the window did not get the keyboard focus"
xdotool key r
wait_picture reset first same || fail "R did not bring back the first picture"

status=0
xdotool key Escape
xs_wait_exit "$pid" 60 || status=$?
[ "$status" -eq 0 ] || fail "Escape: exit status $status, expected 0"
echo "PASS: titled window, drag and wheel change the picture, R resets it, Escape ends with 0"
