// xfile_binary.h - tokenizer of the binary .x encoding: a little-endian stream of WORD tokens.
//
// Record tokens: NAME 1 (DWORD count + bytes), STRING 2 (DWORD count + bytes + a SEMICOLON or COMMA
// terminator as a WORD or a DWORD, or none), INTEGER 3, GUID 5 (16 bytes),
// INTEGER_LIST 6 and FLOAT_LIST 7 (DWORD count + elements; floats have the header's size). List
// elements come out one number token each, so members are read by count across list boundaries.
// Braces, separators (COMMA 19, SEMICOLON 20) and TEMPLATE 31 map to their token kinds; the other
// template-syntax tokens (12-18, 40-52) come out as XTok::other. Any other token value is an error.
//
// DOES NOT: know about templates or objects; a list whose count exceeds the bytes left fails
// before any element is read.
#pragma once

#include "platform/xfile/xfile_reader.h"
#include "platform/xfile/xfile_token.h"

class XBinaryLexer {
public:
    // `float_bytes` is 4 or 8.
    XBinaryLexer(const uint8_t* data, size_t size, int float_bytes) : in_(data, size), float_bytes_(float_bytes) {}

    XToken next();
    size_t offset() const { return in_.offset(); }
    size_t remaining() const { return in_.remaining(); }

private:
    XToken list_element();
    bool start_list(bool of_floats);
    XToken name_or_string(bool is_name);
    void skip_string_terminator();
    XToken integer();
    XToken guid();
    XToken fail(const char* reason);

    XReader in_;
    int float_bytes_;
    uint32_t list_left_ = 0;
    bool list_of_floats_ = false;
    bool failed_ = false;
    const char* failure_ = "";
};
