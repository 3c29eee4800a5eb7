#!/usr/bin/env bash
# A model demo shows its model: a screenshot of its window differs from the background colour over
# a good part of the picture. With a TEXTURE argument (the aeroplane), the textured parts show the
# texture file's content: the check runs the program once more from a copy of its folder whose
# texture is pure magenta, a colour no material of the model has, and finds it on screen.
#
# Usage: shows_model.sh PROGRAM MODEL_FILE BACKGROUND_RRGGBB [TEXTURE_FILE]
source "$(dirname "$0")/e2e_lib.sh"
e2e_require_model
background=${3:?usage: $0 PROGRAM MODEL_FILE BACKGROUND_RRGGBB [TEXTURE_FILE]}
texture=${4:-}

# Prints how many pixels of the window's picture differ from the background, and how many are
# magenta (lit: red and blue high, green low).
count_pixels() {
  import -window "$e2e_window" png:- | convert - -depth 8 txt:- |
    awk -v bg="#$background" '
      NR > 1 {
        split($2, c, /[(),]/)
        if (toupper($3) != bg) other++
        if (c[2] > 120 && c[4] > 120 && c[3] < 60) magenta++
      }
      END { print other + 0, magenta + 0 }'
}

# Runs the program from `folder` (a copy or its own), waits for frames, counts, closes it.
look_at() {
  e2e_start_program "$1" "$2"
  e2e_wait_main_window
  e2e_wait_first_frame "$background"
  read -r e2e_other e2e_magenta < <(count_pixels)
  e2e_end_with_escape "Escape"
}

look_at "$PWD" "$e2e_program"
[ "$e2e_other" -gt 3000 ] || e2e_fail "only $e2e_other pixels differ from the background #$background"
echo "model: $e2e_other pixels differ from the background"
real_magenta=$e2e_magenta

if [ -n "$texture" ]; then
  copy=$(mktemp -d)
  trap 'xs_cleanup; rm -rf "$copy"' EXIT
  folder=$(dirname "$e2e_program")
  cp "$e2e_program" "$folder/$e2e_model" "$copy/"
  [ -f "$folder/$texture" ] || e2e_fail "the texture $texture is not beside the program"
  convert -size 64x64 xc:'#FF00FF' "$copy/$texture"
  look_at "$copy" "$copy/$(basename "$e2e_program")"
  [ "$e2e_magenta" -gt 1000 ] && [ "$real_magenta" -lt 100 ] ||
    e2e_fail "$e2e_magenta magenta pixels with a magenta texture, $real_magenta with the real one"
  echo "texture: $e2e_magenta pixels show the (magenta) texture"
fi
echo "PASS: the model is shown${texture:+, with its texture}"
