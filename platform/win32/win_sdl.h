// win_sdl.h - what the two SDL files of the window layer share (the back end and its message box).
#pragma once

#include <windows.h>

#include <string>

struct SDL_Window;

// Shows a modal SDL message box with one OK button (the Return and Escape default) over `parent`
// (may be null); a warning icon for MB_ICONEXCLAMATION. Returns IDOK, or 0 when no box could be
// shown (the text then goes to stderr so that it is not lost).
int win_sdl_message_box(SDL_Window* parent, const std::string& text_utf8, const std::string& caption_utf8, UINT type);
