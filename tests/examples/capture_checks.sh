#!/usr/bin/env bash
# capture_checks.sh PROBE: the capture's failures and limits, on the capture probe (which ends by
# itself after 10 frames). A bad WIN32_STANDIN_CAPTURE_AT or an unwritable PNG ends the program
# with status 1 and one line on stderr, and leaves no file behind; without a capture, or when the
# program ends before the frame asked for, nothing is written and the program ends normally.
set -uo pipefail
probe=$1
name=$(basename "$probe")
work=$(mktemp -d /tmp/capture-checks.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0

# run EXPECTED_STATUS EXPECTED_STDERR [VAR=VALUE...]: runs the probe headless with the given
# environment; afterwards $work/case must hold only what the case created beforehand.
run() {
  local expected=$1 message=$2
  shift 2
  local status=0 asan=${ASAN_OPTIONS:-}
  # A failed capture ends the program at once, with its device still alive: not a leak.
  [ "$expected" -eq 0 ] || asan="${asan:+$asan:}detect_leaks=0"
  env WIN32_STANDIN_BACKEND=headless ASAN_OPTIONS="$asan" "$@" timeout 60 "$probe" 2>"$work/stderr" || status=$?
  if [ "$status" -ne "$expected" ] || [ "$(cat "$work/stderr")" != "$message" ]; then
    echo "FAIL [$*]: status $status (expected $expected), stderr:" >&2
    cat "$work/stderr" >&2
    failures=$((failures + 1))
  fi
  if [ -n "$(find "$work/case" -mindepth 1 ! -name keep -print -quit)" ]; then
    echo "FAIL [$*]: left files behind: $(ls -A "$work/case")" >&2
    failures=$((failures + 1))
  fi
}

fresh() { rm -rf "$work/case" && mkdir "$work/case"; }

for at in 0 -1 +2 " 2" 2x abc "" 18446744073709551616; do
  fresh
  run 1 "$name: WIN32_STANDIN_CAPTURE_AT: \"$at\" is not a positive integer" \
    WIN32_STANDIN_CAPTURE="$work/case/frame.png" WIN32_STANDIN_CAPTURE_AT="$at"
done

fresh
run 1 "$name: capture $work/case/missing/frame.png: cannot create the file: No such file or directory" \
  WIN32_STANDIN_CAPTURE="$work/case/missing/frame.png"
fresh
mkdir "$work/case/keep"
run 1 "$name: capture $work/case/keep: cannot rename the finished file: Is a directory" \
  WIN32_STANDIN_CAPTURE="$work/case/keep"
fresh
touch "$work/case/keep"
run 1 "$name: capture $work/case/keep/frame.png: cannot create the file: Not a directory" \
  WIN32_STANDIN_CAPTURE="$work/case/keep/frame.png"

# A relative name is taken from the directory the program started in, not the one it changed to.
fresh
mkdir "$work/case/keep"
(cd "$work/case/keep" && WIN32_STANDIN_BACKEND=headless WIN32_STANDIN_CAPTURE=frame.png timeout 60 "$probe")
if [ ! -f "$work/case/keep/frame.png" ] || [ -e "$work/case/frame.png" ]; then
  echo "FAIL: a relative capture name was not taken from the starting directory" >&2
  failures=$((failures + 1))
fi

# No capture asked for (WIN32_STANDIN_CAPTURE_AT is then not read), or a frame never reached.
fresh
run 0 "" WIN32_STANDIN_CAPTURE_AT=abc
fresh
run 0 "" WIN32_STANDIN_CAPTURE= WIN32_STANDIN_CAPTURE_AT=1
fresh
run 0 "" WIN32_STANDIN_CAPTURE="$work/case/frame.png" WIN32_STANDIN_CAPTURE_AT=11

exit $((failures > 0))
