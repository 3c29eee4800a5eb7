#!/usr/bin/env bash
# screenshot_check.sh PROGRAM: runs the screenshot example headless with a file name and checks the
# BMP it writes: the headers for a 624 x 441 24-bit picture, the grey background in the top-left
# corner, a red pixel below the triangle's top corner; and that an unwritable name fails.
set -euo pipefail
program=$1
work=$(mktemp -d /tmp/screenshot-check.XXXXXX)
trap 'rm -rf "$work"' EXIT

WIN32_STANDIN_BACKEND=headless timeout 60 "$program" "$work/shot.bmp"
file=$work/shot.bmp
width=624 height=441 row=1872
bytes() { od -An -tu1 -j "$1" -N "$2" "$file" | tr -s ' ' | sed 's/^ //;s/ $//'; }
fail() {
  echo "screenshot: $1" >&2
  exit 1
}

[ "$(stat -c %s "$file")" -eq $((54 + row * height)) ] || fail "file size $(stat -c %s "$file")"
[ "$(bytes 0 2)" = "66 77" ] || fail "no BM signature"
[ "$(bytes 18 4)" = "112 2 0 0" ] || fail "width $(bytes 18 4)"
[ "$(bytes 22 4)" = "185 1 0 0" ] || fail "height $(bytes 22 4)"
[ "$(bytes 28 2)" = "24 0" ] || fail "bits per pixel $(bytes 28 2)"
# Rows are stored bottom first: the top row is the last one.
pixel() { bytes $((54 + (height - 1 - $2) * row + $1 * 3)) 3; }
[ "$(pixel 0 0)" = "96 96 96" ] || fail "top-left pixel $(pixel 0 0)"
read -r blue green red <<<"$(pixel 312 60)"
[ "$red" -gt 200 ] && [ "$green" -lt 60 ] && [ "$blue" -lt 60 ] || fail "pixel below the red corner $blue $green $red"

if WIN32_STANDIN_BACKEND=headless timeout 60 "$program" "$work/no/such/folder/shot.bmp" 2>/dev/null; then
  fail "an unwritable file reported success"
fi
echo "screenshot: the BMP file is as drawn"
