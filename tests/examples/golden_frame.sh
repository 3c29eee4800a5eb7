#!/usr/bin/env bash
# golden_frame.sh PNG_COMPARE PROGRAM GOLDEN.png [AT]: runs PROGRAM headless, captures the frame of
# its AT-th present (default 1; the capture then closes the program's window, so it ends) and
# compares it pixel by pixel with GOLDEN.png (each channel within GOLDEN_TOLERANCE levels, default 0).
set -euo pipefail
compare=$1 program=$2 golden=$3 at=${4:-1}
work=$(mktemp -d /tmp/golden-frame.XXXXXX)
trap 'rm -rf "$work"' EXIT

status=0
WIN32_STANDIN_BACKEND=headless WIN32_STANDIN_CAPTURE="$work/frame.png" WIN32_STANDIN_CAPTURE_AT=$at \
  timeout 60 "$program" || status=$?
if [ "$status" -ne 0 ]; then
  echo "$(basename "$program") ended with status $status" >&2
  exit 1
fi
"$compare" --tolerance "${GOLDEN_TOLERANCE:-0}" "$work/frame.png" "$golden"
