// xfile_text.h - tokenizer of the text .x encoding.
//
// Conventions: bytes up to 0x20 are white space; `//` and `#` start a comment to the end of the
// line where a token could start; `;` and `,` are separators; a word runs to white space or one of
// {}[]<>;," and is a number when it starts with a digit, '-', '+' or '.'; strings run to the next
// '"' (no escapes: a string cannot contain '"'); `<...>` must hold a UUID in 8-4-4-4-12 hex form.
//
// DOES NOT: convert numbers (the parser does, to the type it expects) or interpret escapes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/xfile/xfile_token.h"

class XTextLexer {
public:
    XTextLexer(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // The next token; XTok::end at the end, XTok::error (sticky) on malformed input.
    XToken next();
    size_t offset() const { return position_; }
    size_t remaining() const { return size_ - position_; }

private:
    void skip_space_and_comments();
    XToken string_token();
    XToken guid_token();
    XToken word_token();
    XToken fail(const char* reason);

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    bool failed_ = false;
    const char* failure_ = "";
};
