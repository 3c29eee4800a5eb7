#!/usr/bin/env bash
# A model demo whose model file is missing shows its error message in a modal box ("Info") over
# its window, and ends with status 1 once the box is dismissed with Return. Saves a screenshot
# of the box as missing_model_message-<program>.png in the current directory.
source "$(dirname "$0")/e2e_lib.sh"

lonely=$(mktemp -d)
trap 'xs_cleanup; rm -rf "$lonely"' EXIT
cp "$e2e_program" "$lonely/"
# A locale that is not UTF-8: the box must still show the Polish letters.
export LC_ALL=C
e2e_start_program / "$lonely/$(basename "$e2e_program")"
e2e_wait_main_window
e2e_wait_message_box
kill -0 "$e2e_pid" 2>/dev/null || e2e_fail "the program ended while its box was up"
import -window root "$PWD/missing_model_message-$(basename "$e2e_program").png" 2>/dev/null || true

e2e_dismiss_message_box
e2e_expect_exit 1 "after the message box"
echo "PASS: the missing model is reported in a message box; the program ends with 1"
