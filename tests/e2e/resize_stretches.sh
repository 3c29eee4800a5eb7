#!/usr/bin/env bash
# After the user resizes the window, the fixed-size picture is stretched over the whole new client
# area: its far corner shows the scene's background, not an unpainted or black area.
source "$(dirname "$0")/e2e_lib.sh"
e2e_require_model
background=${3:?usage: $0 PROGRAM MODEL_FILE BACKGROUND_RRGGBB}

e2e_start_program
e2e_wait_main_window
xdotool windowsize --sync "$e2e_window" 900 300
deadline=$((SECONDS + 10))
corner=""
until [ "$corner" = "$background" ]; do
  [ $SECONDS -lt $deadline ] || e2e_fail "the corner of the 900x300 client area shows #$corner, expected #$background"
  sleep 0.2
  corner=$( (import -window "$e2e_window" png:- | convert - -crop 4x4+890+290 +repage -scale 1x1\! -depth 8 txt:- |
    sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr 'a-f' 'A-F') 2>/dev/null || true)
done

xs_hold_key Escape
e2e_expect_exit 0 "Escape after resizing"
echo "PASS: the picture is stretched over the resized client area"
