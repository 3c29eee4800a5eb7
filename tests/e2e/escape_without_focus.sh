#!/usr/bin/env bash
# Escape ends the program even while another program's window has the keyboard focus: the
# program reads the global key state, not its own window's key events.
source "$(dirname "$0")/e2e_lib.sh"
e2e_require_model

e2e_start_program
e2e_wait_main_window

xclock -geometry 150x150+800+550 &
clock_pid=$!
xs_track "$clock_pid"
clock=$(xs_wait_window "$clock_pid" xclock 60) || e2e_fail "xclock did not appear"
xs_focus "$clock" 60 || e2e_fail "could not give xclock the focus"
kill -0 "$e2e_pid" 2>/dev/null || e2e_fail "the program ended before Escape"

e2e_end_with_escape "Escape with xclock focused"
kill -0 "$clock_pid" 2>/dev/null || e2e_fail "xclock ended too: the key went to the wrong window"
echo "PASS: Escape ends the program while another window has the focus"
