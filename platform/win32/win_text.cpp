// win_text.cpp - UTF-8 checking and the conversions between ANSI, wide and UTF-8 text.
#include "platform/win32/win_text.h"

#include "platform/win32/win_cp1250.h"

#include <cstring>
#include <cwchar>

namespace {

constexpr char32_t replacement = 0xFFFD;

bool scalar_value(char32_t code) { return code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF); }

// Decodes one UTF-8 sequence at text[i]; advances i past it. Returns U+FFFD and advances by one
// byte for an invalid sequence.
char32_t decode_utf8(std::string_view text, size_t& i, bool* valid) {
    const auto lead = static_cast<unsigned char>(text[i]);
    *valid = true;
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int extra = 0;
    char32_t code = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, code = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, code = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, code = lead & 0x07, smallest = 0x10000;
    } else {
        *valid = false;
        ++i;
        return replacement;
    }
    if (text.size() - i <= size_t(extra)) {
        *valid = false;
        ++i;
        return replacement;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(text[i + size_t(k)]);
        if ((next & 0xC0) != 0x80) {
            *valid = false;
            ++i;
            return replacement;
        }
        code = (code << 6) | (next & 0x3F);
    }
    if (code < smallest || !scalar_value(code)) {
        *valid = false;
        ++i;
        return replacement;
    }
    i += size_t(extra) + 1;
    return code;
}

}  // namespace

void win_append_utf8(std::string& out, char32_t code) {
    if (!scalar_value(code)) code = replacement;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool win_is_utf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        bool valid = true;
        decode_utf8(text, i, &valid);
        if (!valid) return false;
    }
    return true;
}

std::string win_utf8_from_ansi(std::string_view text) {
    if (win_is_utf8(text)) return std::string(text);
    return win_cp1250_to_utf8(std::string(text).c_str());
}

std::string win_utf8_from_ansi(const char* text) {
    return text == nullptr ? std::string() : win_utf8_from_ansi(std::string_view(text));
}

std::string win_utf8_from_wide(const wchar_t* text, size_t length) {
    std::string out;
    if (text == nullptr) return out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) win_append_utf8(out, static_cast<char32_t>(text[i]));
    return out;
}

std::string win_utf8_from_wide(const wchar_t* text) {
    return text == nullptr ? std::string() : win_utf8_from_wide(text, std::wcslen(text));
}

std::wstring win_wide_from_utf8(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        bool valid = true;
        out += static_cast<wchar_t>(decode_utf8(text, i, &valid));
    }
    return out;
}
