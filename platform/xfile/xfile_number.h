// xfile_number.h - the numbers of .x files: text number words and the narrowing to float.
//
// A text number word converts when std::from_chars reads all of it after at most one leading '+'
// (so "+1", ".5", "5.", "1e-3" and "-inf" are numbers, "1e", "0x1" and "1.5.2" are not); a
// value beyond the type's range does not convert. Floats are read as double and then narrowed,
// so a word gives the same float however it is reached.
//
// Doubles are converted by fast_float, which gives the same correctly rounded value as
// std::from_chars in fewer steps, but infinity or zero where std::from_chars reports a value out
// of range; those two results are left to std::from_chars to decide.
#pragma once

#include <cfloat>
#include <charconv>
#include <fast_float/fast_float.h>
#include <cmath>
#include <cstdint>
#include <string_view>

// Narrows without undefined behaviour: values beyond the float range become infinities.
inline float xfile_narrow(double value) {
    if (value > FLT_MAX) return INFINITY;
    if (value < -FLT_MAX) return -INFINITY;
    return static_cast<float>(value);
}

// Converts the number at [first, last) and returns where it stops, or null when nothing converts.
// A caller that knows where the word ends accepts the value only when it stops there.
template <typename T>
const char* xfile_scan_number(const char* first, const char* last, T* value) {
    if (first != last && *first == '+') ++first;
    const auto result = std::from_chars(first, last, *value);
    return result.ec == std::errc() ? result.ptr : nullptr;
}

// True when [first, last) holds a non-zero digit before any exponent: a number whose value is
// then zero has underflowed.
inline bool xfile_has_nonzero_digit(const char* first, const char* last) {
    for (; first != last && *first != 'e' && *first != 'E'; ++first) {
        if (*first >= '1' && *first <= '9') return true;
    }
    return false;
}

template <>
inline const char* xfile_scan_number(const char* first, const char* last, double* value) {
    if (first != last && *first == '+') ++first;
    const auto result = fast_float::from_chars(first, last, *value);
    if (result.ec != std::errc()) return nullptr;
    const bool maybe_out_of_range = std::isinf(*value) || (*value == 0.0 && xfile_has_nonzero_digit(first, result.ptr));
    if (!maybe_out_of_range) return result.ptr;
    const auto checked = std::from_chars(first, last, *value);
    return checked.ec == std::errc() ? checked.ptr : nullptr;
}

// Converts a whole number word.
template <typename T>
bool xfile_parse_number(std::string_view word, T* value) {
    const char* last = word.data() + word.size();
    return xfile_scan_number(word.data(), last, value) == last;
}
