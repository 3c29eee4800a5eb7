#!/usr/bin/env bash
# capture_in_window.sh PNG_COMPARE PROBE GOLDEN.png: the capture in a real SDL window on a private
# Xvfb: the probe's third frame is written and its window closed, so the probe ends with 0, and
# the PNG equals the headless golden frame.
set -euo pipefail
compare=$1 probe=$2 golden=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
for tool in Xvfb openbox; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/install-deps)" >&2; exit 77; }
done
source "$here/../../scripts/xsession.sh"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"  # SDL's and Xlib's own leaks
work=$(mktemp -d /tmp/capture-window.XXXXXX)
trap 'xs_cleanup; rm -rf "$work"' EXIT
xs_start_display
xs_start_window_manager

status=0
env -u WIN32_STANDIN_BACKEND WIN32_STANDIN_CAPTURE="$work/frame.png" WIN32_STANDIN_CAPTURE_AT=3 \
  timeout 120 "$probe" || status=$?
[ "$status" -eq 0 ] || { echo "FAIL: the probe ended with status $status" >&2; exit 1; }
"$compare" "$work/frame.png" "$golden"
