// texture_header_cursor.h - reading the text headers of the Netpbm family (PNM, PFM): a cursor that
// never reads past the file's end, white space as those formats define it, and decimal fields
// capped so that an absurd value is still shown in a reason without overflowing.
#pragma once

#include "platform/texture/texture_decode.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

constexpr uint64_t texture_header_number_cap = 0xFFFFFFFFu;

struct texture_header_cursor {
    const unsigned char* data;
    size_t size;
    size_t at = 0;

    bool done() const { return at >= size; }
    unsigned char peek() const { return at < size ? data[at] : 0; }
};

inline bool texture_header_space(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline bool texture_header_digit(unsigned char c) { return c >= '0' && c <= '9'; }

// Reads the decimal digits at the cursor; false when there are none.
inline bool texture_header_digits(texture_header_cursor& in, uint64_t& value) {
    if (!texture_header_digit(in.peek())) return false;
    value = 0;
    for (; texture_header_digit(in.peek()); ++in.at)
        value = std::min(value * 10 + (in.peek() - '0'), texture_header_number_cap);
    return true;
}

// texture_size_allowed for a width and height read by texture_header_digits (capped, so they fit).
inline bool texture_header_size_allowed(uint64_t width, uint64_t height, texture_error* error) {
    return texture_size_allowed(static_cast<long long>(width), static_cast<long long>(height), error);
}
