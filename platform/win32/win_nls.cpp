// win_nls.cpp - MultiByteToWideChar, WideCharToMultiByte and GetACP (see winnls.h).
#include <windows.h>

#include "platform/win32/win_cp1250.h"
#include "platform/win32/win_text.h"

#include <array>
#include <cstring>
#include <string>
#include <string_view>

namespace {

enum class code_page { ansi, utf8, cp1250, unknown };

code_page page_of(UINT code) {
    switch (code) {
    case CP_ACP:
    case CP_THREAD_ACP: return code_page::ansi;
    case CP_UTF8: return code_page::utf8;
    case 1250: return code_page::cp1250;
    default: return code_page::unknown;
    }
}

constexpr char32_t undefined = 0xFFFD;

// The code point of each Windows-1250 byte (U+FFFD where the code page defines none).
const std::array<char32_t, 256>& cp1250_table() {
    static const std::array<char32_t, 256> table = [] {
        std::array<char32_t, 256> t{};
        for (int byte = 1; byte < 256; ++byte) {
            const char text[2] = {static_cast<char>(byte), 0};
            const std::wstring wide = win_wide_from_utf8(win_cp1250_to_utf8(text));
            t[size_t(byte)] = wide.empty() ? undefined : static_cast<char32_t>(wide[0]);
        }
        return t;
    }();
    return table;
}

bool scalar_value(wchar_t unit) {
    const auto code = static_cast<uint32_t>(unit);
    return code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
}

// Decodes `text`; false when `strict` and it holds what the code page does not define.
bool decode(code_page page, std::string_view text, bool strict, std::wstring& out) {
    if (page == code_page::utf8 || (page == code_page::ansi && win_is_utf8(text))) {
        if (strict && !win_is_utf8(text)) return false;
        out = win_wide_from_utf8(text);
        return true;
    }
    out.clear();
    out.reserve(text.size());
    for (const char byte : text) {
        const char32_t code = cp1250_table()[static_cast<unsigned char>(byte)];
        if (strict && code == undefined) return false;
        out += static_cast<wchar_t>(code);
    }
    return true;
}

int fail(DWORD error) {
    SetLastError(error);
    return 0;
}

// Whether [a, a + a_bytes) and [b, b + b_bytes) share a byte.
bool overlap(const void* a, size_t a_bytes, const void* b, size_t b_bytes) {
    const auto x = reinterpret_cast<uintptr_t>(a), y = reinterpret_cast<uintptr_t>(b);
    return x < y + b_bytes && y < x + a_bytes;
}

}  // namespace

UINT WINAPI GetACP() { return 1250; }

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByteText, int multiByteLength, LPWSTR wideText,
                               int wideSize) {
    const code_page page = page_of(codePage);
    if (page == code_page::unknown || multiByteText == nullptr || multiByteLength == 0 || multiByteLength < -1 ||
        wideSize < 0 || (wideSize > 0 && wideText == nullptr)) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    const DWORD allowed = page == code_page::utf8 ? MB_ERR_INVALID_CHARS : MB_PRECOMPOSED | MB_ERR_INVALID_CHARS;
    if ((flags & ~allowed) != 0) return fail(ERROR_INVALID_FLAGS);
    const size_t length = multiByteLength == -1 ? std::strlen(multiByteText) + 1 : size_t(multiByteLength);
    if (wideSize > 0 && overlap(multiByteText, length, wideText, size_t(wideSize) * sizeof(wchar_t))) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    std::wstring wide;
    if (!decode(page, std::string_view(multiByteText, length), (flags & MB_ERR_INVALID_CHARS) != 0, wide)) {
        return fail(ERROR_NO_UNICODE_TRANSLATION);
    }
    if (wideSize == 0) return static_cast<int>(wide.size());
    if (wide.size() > size_t(wideSize)) return fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(wideText, wide.data(), wide.size() * sizeof(wchar_t));
    return static_cast<int>(wide.size());
}

int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideText, int wideLength, LPSTR multiByteText,
                               int multiByteSize, LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar) {
    const code_page page = page_of(codePage);
    if (page == code_page::unknown || wideText == nullptr || wideLength == 0 || wideLength < -1 || multiByteSize < 0 ||
        (multiByteSize > 0 && multiByteText == nullptr) ||
        (page == code_page::utf8 && (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr))) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    const DWORD allowed = page == code_page::utf8
                              ? WC_ERR_INVALID_CHARS
                              : WC_COMPOSITECHECK | WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR | WC_NO_BEST_FIT_CHARS;
    if ((flags & ~allowed) != 0) return fail(ERROR_INVALID_FLAGS);
    const size_t length = wideLength == -1 ? std::wcslen(wideText) + 1 : size_t(wideLength);
    if (multiByteSize > 0 && overlap(wideText, length * sizeof(wchar_t), multiByteText, size_t(multiByteSize))) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    const char default_char = lpDefaultChar != nullptr ? lpDefaultChar[0] : '?';
    bool used_default = false;
    std::string bytes;
    bytes.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        const wchar_t unit = wideText[i];
        if (page == code_page::cp1250) {
            const auto& table = cp1250_table();
            int byte = unit == 0 ? 0 : -1;
            for (int b = 1; b < 256 && byte < 0; ++b) {
                if (table[size_t(b)] != undefined && table[size_t(b)] == static_cast<char32_t>(unit)) byte = b;
            }
            if (byte < 0) used_default = true;
            bytes += byte < 0 ? default_char : static_cast<char>(byte);
        } else if (!scalar_value(unit)) {
            if (page == code_page::utf8) {
                if ((flags & WC_ERR_INVALID_CHARS) != 0) return fail(ERROR_NO_UNICODE_TRANSLATION);
                win_append_utf8(bytes, 0xFFFD);
            } else {
                used_default = true;
                bytes += default_char;
            }
        } else {
            win_append_utf8(bytes, static_cast<char32_t>(unit));
        }
    }
    if (bytes.size() > size_t(INT32_MAX)) return fail(ERROR_INSUFFICIENT_BUFFER);
    if (multiByteSize != 0) {
        if (bytes.size() > size_t(multiByteSize)) return fail(ERROR_INSUFFICIENT_BUFFER);
        std::memcpy(multiByteText, bytes.data(), bytes.size());
    }
    if (lpUsedDefaultChar != nullptr) *lpUsedDefaultChar = used_default ? TRUE : FALSE;
    return static_cast<int>(bytes.size());
}
