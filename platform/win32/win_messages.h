// win_messages.h - the process's message queue, as the window layer and its back ends use it.
//
// One queue for the whole process (the programs are single-threaded): posted messages in FIFO
// order, plus the quit flag that PostQuitMessage sets and PeekMessageA turns into WM_QUIT when
// nothing else is pending.
#pragma once

#include <windows.h>

// Appends a message to the queue (hwnd may be null: a message for the thread itself).
void win_post_message(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Empties the queue and clears the quit flag.
void win_messages_reset();
