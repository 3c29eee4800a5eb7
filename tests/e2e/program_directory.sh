#!/usr/bin/env bash
# Started from another directory, a model demo works in its own folder (where its model lies).
# Holds with or without the model: the folder is entered before the model is read.
source "$(dirname "$0")/e2e_lib.sh"

elsewhere=$(mktemp -d)
trap 'xs_cleanup; rm -rf "$elsewhere"' EXIT
e2e_start_program "$elsewhere"
e2e_wait_main_window

expected=$(cd "$(dirname "$e2e_program")" && pwd -P)
actual=$(readlink "/proc/$e2e_pid/cwd")
[ "$actual" = "$expected" ] || e2e_fail "working directory is $actual, expected $expected"

# Escape ends the program, or dismisses its error message when the model is missing.
xs_hold_key Escape
status=0
xs_wait_exit "$e2e_pid" 15 || status=$?
[ "$status" -ne 124 ] || e2e_fail "the program did not end"
if [ -z "$e2e_model" ] || [ -f "$expected/$e2e_model" ]; then
  [ "$status" -eq 0 ] || e2e_fail "exit status $status, expected 0"
fi
echo "PASS: started from $elsewhere, the program works in $expected"
