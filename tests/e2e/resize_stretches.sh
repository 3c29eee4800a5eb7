#!/usr/bin/env bash
# After the user resizes the window, the fixed-size picture is stretched over the whole new client
# area: its far corner shows the scene's background, not an unpainted or black area.
source "$(dirname "$0")/e2e_lib.sh"
e2e_require_model
background=${3:?usage: $0 PROGRAM MODEL_FILE BACKGROUND_RRGGBB}

e2e_start_program
e2e_wait_main_window
e2e_wait_first_frame "$background"
timeout 60 xdotool windowsize --sync "$e2e_window" 900 300 || e2e_fail "the window was not resized to 900x300"
xs_wait_colour "$e2e_window" 890 290 "$background" 60 || e2e_fail "the corner of the 900x300 client area is not the background"

e2e_end_with_escape "Escape after resizing"
echo "PASS: the picture is stretched over the resized client area"
