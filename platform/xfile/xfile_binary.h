// xfile_binary.h - tokenizer of the binary .x encoding: a little-endian stream of WORD tokens.
//
// Record tokens: NAME 1 (DWORD count + bytes), STRING 2 (DWORD count + bytes + a SEMICOLON or COMMA
// terminator as a WORD or a DWORD, or none), INTEGER 3, GUID 5 (16 bytes),
// INTEGER_LIST 6 and FLOAT_LIST 7 (DWORD count + elements; floats have the header's size). List
// elements come out one number token each, so members are read by count across list boundaries.
// Braces, separators (COMMA 19, SEMICOLON 20) and TEMPLATE 31 map to their token kinds; the other
// template-syntax tokens (12-18, 40-52) come out as xfile_token_kind::other. Any other token value is an error.
//
// Floats of 8 bytes are narrowed to float as xfile_narrow does.
//
// DOES NOT: know about templates or objects; a list whose count exceeds the bytes left fails
// before any element is read.
#pragma once

#include "platform/xfile/xfile_byte_cursor.h"
#include "platform/xfile/xfile_token.h"

class xfile_binary_lexer : public xfile_lexer_failure {
public:
    // `float_bytes` is 4 or 8.
    xfile_binary_lexer(const uint8_t* data, size_t size, int float_bytes)
        : in_(data, size), float_bytes_(float_bytes) {}

    xfile_token next();
    // Copy up to `count` elements of the integer (float) list being read, whole lists at a time, and
    // return how many; 0 outside a list of that kind (next() then reads on).
    size_t take_uints(uint32_t* values, size_t count);
    size_t take_floats(float* values, size_t count);
    // The rest of the integer list being read, without reading it; consume_uints(n) then steps over
    // n of its elements (n <= the run's count).
    xfile_uint_run uint_run() const;
    void consume_uints(size_t count);
    // Steps over tokens until `open` more '}' than '{' have been read (number lists whole); returns
    // that close_brace, or the end or error token that came first.
    xfile_token skip_to_close(size_t open);
    size_t offset() const { return in_.offset(); }
    size_t remaining() const { return in_.remaining(); }

private:
    xfile_token list_element();
    bool start_list(bool of_floats);
    xfile_token name_or_string(bool is_name);
    void skip_string_terminator();
    xfile_token integer();
    xfile_token guid();

    xfile_byte_cursor in_;
    int float_bytes_;
    uint32_t list_left_ = 0;
    bool list_of_floats_ = false;
};
