#!/usr/bin/env bash
# Without any display (and without the headless back end) a program ends at once with status 1
# and says why on standard error, instead of running unseen on a display-less SDL driver.
set -euo pipefail
program=${1:?usage: $0 PROGRAM}
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u WIN32_STANDIN_BACKEND \
  timeout 60 "$program" 2>"$errors" </dev/null || status=$?
if [ "$status" -ne 1 ]; then
  echo "FAIL: exit status $status, expected 1" >&2
  cat "$errors" >&2
  exit 1
fi
if ! grep -q "no display" "$errors"; then
  echo "FAIL: the reason is not on standard error" >&2
  cat "$errors" >&2
  exit 1
fi
echo "PASS: without a display the program ends with 1 and says why"
