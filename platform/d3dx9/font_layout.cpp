// font_layout.cpp - lines, pen positions and alignment of DrawText (see font_layout.h).
#include "platform/d3dx9/font_layout.h"

#include <algorithm>
#include <climits>

namespace {

// Sums are kept in 64 bits and clamped when stored: a long enough text or an extreme rectangle
// must not overflow.
using wide = long long;

int clamped(wide value) { return int(std::clamp<wide>(value, INT_MIN, INT_MAX)); }

wide floor_half(wide value) { return value >= 0 ? value / 2 : -((-value + 1) / 2); }

bool is_space(char32_t c) { return c == U' ' || c == U'\t'; }

}  // namespace

void font_layout(const font_layout_input& in, font_layout_result& out) {
    out.lines.clear();
    out.pen.assign(size_t(std::max(in.count, 0)), -1);
    out.widest = 0;
    const bool single = (in.format & DT_SINGLELINE) != 0;
    const bool wrap = !single && (in.format & DT_WORDBREAK) != 0;
    const bool expand_tabs = (in.format & DT_EXPANDTABS) != 0 && in.tab_width > 0;

    int i = 0;
    while (i < in.count) {
        font_line line;
        line.begin = i;
        wide pen = 0;
        int drawn_end = i;     // one past the last non-space character placed
        wide drawn_width = 0;  // the line's width up to drawn_end
        int break_at = -1;     // the start of the last space run after a drawn character
        wide break_width = 0;
        bool ended_by_break = false;
        for (; i < in.count; ++i) {
            const char32_t c = in.text[i];
            if (c == U'\r' || c == U'\n') {
                if (single) continue;
                ended_by_break = true;
                break;
            }
            wide advance = in.advances[i];
            if (c == U'\t' && expand_tabs) advance = (pen / in.tab_width + 1) * in.tab_width - pen;
            if (wrap && !is_space(c) && pen + advance > in.width && break_at >= 0) {
                // Back to the space run: the line ends there, the next starts after it.
                drawn_end = break_at;
                drawn_width = break_width;
                for (int k = break_at; k < i; ++k) out.pen[size_t(k)] = -1;
                i = break_at;
                while (i < in.count && is_space(in.text[i])) ++i;
                break;
            }
            if (is_space(c)) {
                if (drawn_end > line.begin && (i == 0 || !is_space(in.text[i - 1]))) {
                    break_at = i;
                    break_width = drawn_width;
                }
            }
            out.pen[size_t(i)] = clamped(pen);
            pen += advance;
            if (!is_space(c)) {
                drawn_end = i + 1;
                drawn_width = pen;
            } else if (!wrap) {
                drawn_end = i + 1;
                drawn_width = pen;
            }
        }
        if (!wrap) {
            drawn_end = std::max(drawn_end, i);
            drawn_width = pen;
        } else if (i >= in.count || ended_by_break) {
            // Trailing spaces of the last line or before a break take no room.
            for (int k = drawn_end; k < i; ++k) out.pen[size_t(k)] = -1;
        }
        line.end = drawn_end;
        line.width = clamped(drawn_width);
        out.lines.push_back(line);
        out.widest = std::max(out.widest, line.width);
        if (ended_by_break) {
            if (in.text[i] == U'\r' && i + 1 < in.count && in.text[i + 1] == U'\n') ++i;
            ++i;
        }
    }

    for (font_line& line : out.lines) {
        if (in.format & DT_CENTER) {
            line.x = clamped(floor_half(wide(in.width) - line.width));
        } else if (in.format & DT_RIGHT) {
            line.x = clamped(wide(in.width) - line.width);
        } else {
            line.x = 0;
        }
    }
    out.height = clamped(wide(out.lines.size()) * in.line_height);
    if (in.format & DT_BOTTOM) {
        out.top = clamped(wide(in.height) - out.height);
    } else if (in.format & DT_VCENTER) {
        out.top = clamped(floor_half(wide(in.height) - out.height));
    } else {
        out.top = 0;
    }
}
