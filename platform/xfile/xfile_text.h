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

class xfile_text_lexer : public xfile_lexer_failure {
public:
    xfile_text_lexer(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // The next token; xfile_token_kind::end at the end, xfile_token_kind::error (sticky) on malformed input.
    xfile_token next();
    // Read up to `count` numbers in a row, each after any white space, comments and separators:
    // number words that convert whole (xfile_number.h). Stop before anything else, which next()
    // then returns, and return how many were read.
    size_t take_uints(uint32_t* values, size_t count);
    size_t take_floats(float* values, size_t count);
    // Text has no runs of binary integers.
    xfile_uint_run uint_run() const { return xfile_uint_run{}; }
    void consume_uints(size_t) {}
    // Steps over tokens until `open` more '}' than '{' have been read; returns that close_brace,
    // or the end or error token that came first. Same result as calling next() until then.
    xfile_token skip_to_close(size_t open);
    size_t offset() const { return position_; }
    size_t remaining() const { return size_ - position_; }

private:
    size_t skip_filler(size_t at, uint8_t classes) const;
    size_t word_end(size_t at) const;
    void skip_space_and_comments();
    void skip_space_comments_and_separators();
    template <typename T, typename Store>
    size_t take(size_t count, Store&& store);
    xfile_token string_token();
    xfile_token guid_token();
    xfile_token word_token();

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};
