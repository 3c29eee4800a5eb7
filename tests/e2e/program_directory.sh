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

# Escape ends the program; without its model, the program shows its error message instead.
if [ -z "$e2e_model" ] || [ -f "$expected/$e2e_model" ]; then
  e2e_end_with_escape "Escape"
else
  e2e_wait_message_box
  e2e_dismiss_message_box
  e2e_expect_exit 1 "after the message box"
fi
echo "PASS: started from $elsewhere, the program works in $expected"
