#!/usr/bin/env bash
# A click on the window's close button (drawn by the window manager) ends the program with 0.
source "$(dirname "$0")/e2e_lib.sh"
e2e_require_model

e2e_start_program
e2e_wait_main_window

# The frame's extents are set once openbox has framed the window; its position is read after that,
# when the window has its place inside the frame.
deadline=$((SECONDS + 60))
extents=""
until [ -n "$extents" ]; do
  extents=$(xprop -id "$e2e_window" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ')
  [ -n "$extents" ] || [ $SECONDS -lt $deadline ] || e2e_fail "the window manager gave the window no frame"
  [ -n "$extents" ] || sleep 0.1
done
IFS=, read -r left right top bottom <<<"$extents"
read -r x y width < <(xwininfo -id "$e2e_window" |
  awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4} /^  Width:/ {w=$2} END {print x, y, w}')
# openbox puts the close button rightmost in the title bar; its buttons are about as wide as the
# title bar is high.
click_x=$((x + width + right - 1 - top / 2))
click_y=$((y - top / 2))
xdotool mousemove --sync "$click_x" "$click_y" click 1

e2e_expect_exit 0 "close button at ($click_x, $click_y), frame extents $left,$right,$top,$bottom"
echo "PASS: the close button ends the program with 0"
