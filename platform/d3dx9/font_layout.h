// font_layout.h - where DrawText puts the characters of a text: lines, pen positions, the
// block's place in the rectangle. Pure arithmetic on advances; no font, no device.
//
// Conventions (whole pixels):
// - A line is `line_height` high; line i's top is the block's top + i * line_height.
// - Without DT_SINGLELINE, "\n", "\r\n" and "\r" each end a line (a break at the very end of the
//   text starts no further line); with it, CR and LF take no room and are not drawn.
// - A tab advances to the next multiple of `tab_width` from the line's start with DT_EXPANDTABS,
//   else like a space (its advance is the caller's).
// - DT_WORDBREAK (without DT_SINGLELINE) ends a line at the last run of spaces before a character
//   that would end beyond `width`; the spaces are dropped. A word wider than the line stays
//   whole and overflows.
// - Horizontal place of a line: DT_LEFT at 0, DT_CENTER at floor((width - line width) / 2),
//   DT_RIGHT at width - line width. Vertical place of the block: DT_TOP at 0, DT_VCENTER at
//   floor((height - block height) / 2), DT_BOTTOM at height - block height.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct font_line {
    int begin = 0;  // first character of the line
    int end = 0;    // one past its last drawn character
    int width = 0;  // from the line's start to the end of its last character's advance
    int x = 0;      // the line's start, from the rectangle's left
};

struct font_layout_result {
    std::vector<font_line> lines;
    std::vector<int> pen;  // per character: its pen position from its line's start; -1: not drawn
    int top = 0;           // the block's top, from the rectangle's top
    int height = 0;        // lines * line_height
    int widest = 0;        // the widest line
};

struct font_layout_input {
    const char32_t* text = nullptr;
    const int* advances = nullptr;  // per character, whole pixels
    int count = 0;
    DWORD format = 0;
    int width = 0;   // the rectangle's
    int height = 0;  // the rectangle's
    int line_height = 1;
    int tab_width = 8;
};

// Lays `input` out into `result`, reusing its storage.
void font_layout(const font_layout_input& input, font_layout_result& result);
