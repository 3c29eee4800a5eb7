#!/usr/bin/env bash
# The program's window appears titled "DirectX simple shapes" with a 624 x 441 client area, and
# holding Escape ends the program with exit status 0.
source "$(dirname "$0")/e2e_lib.sh"
e2e_require_model

e2e_start_program
e2e_wait_main_window
size=$(xwininfo -id "$e2e_window" | awk '/^  Width:/ {w=$2} /^  Height:/ {h=$2} END {print w "x" h}')
[ "$size" = "624x441" ] || e2e_fail "client area is $size, expected 624x441"

e2e_end_with_escape "Escape"
echo "PASS: window 624x441, Escape ends the program with 0"
