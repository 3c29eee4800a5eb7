// font_text.cpp - ANSI and wide text to code points (see font_text.h).
#include "platform/d3dx9/font_text.h"

#include "platform/win32/win_cp1250.h"
#include "platform/win32/win_text.h"

#include <string_view>

namespace {

bool scalar_value(char32_t code) { return code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF); }

// The length of the text: up to `count` units, stopping at a NUL.
template <class Char>
size_t text_length(const Char* text, INT count) {
    size_t n = 0;
    if (count < 0) {
        while (text[n] != 0) ++n;
    } else {
        while (n < size_t(count) && text[n] != 0) ++n;
    }
    return n;
}

// Decodes well-formed UTF-8 (checked beforehand).
void decode_utf8(std::string_view bytes, std::u32string& out) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t code = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : extra == 2 ? (lead & 0x0F) : (lead & 0x07);
        ++i;
        for (; extra > 0; --extra, ++i) code = (code << 6) | (static_cast<unsigned char>(bytes[i]) & 0x3F);
        out.push_back(code);
    }
}

}  // namespace

bool font_decode_ansi(const char* text, INT count, std::u32string& out) {
    out.clear();
    if (text == nullptr || count < -1) return false;
    const std::string_view bytes(text, text_length(text, count));
    if (win_is_utf8(bytes)) {
        decode_utf8(bytes, out);
    } else {
        for (const char byte : bytes) out.push_back(win_cp1250_code_point(static_cast<unsigned char>(byte)));
    }
    return true;
}

bool font_decode_wide(const wchar_t* text, INT count, std::u32string& out) {
    out.clear();
    if (text == nullptr || count < -1) return false;
    const size_t n = text_length(text, count);
    for (size_t i = 0; i < n; ++i) {
        const auto code = static_cast<char32_t>(text[i]);
        out.push_back(scalar_value(code) ? code : U'\uFFFD');
    }
    return true;
}
