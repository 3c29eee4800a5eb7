// xfile_token_stream.h - one token stream over either .x encoding, with one token of look-ahead and the
// typed reads the parser needs.
//
// Conventions: the read_* helpers skip separators first, so ';' and ',' are interchangeable and
// optional between members; numbers are converted to the type asked for (a text word must parse
// completely, see xfile_number.h; a binary integer is not accepted where a float is expected and
// vice versa). Runs of numbers are read without a token each: binary lists are copied whole, text
// words converted in place; the result is the same as reading them one token at a time.
// remaining() bounds any count read from the file: every element takes at least one byte.
//
// DOES NOT: know about objects or templates.
#pragma once

#include <variant>

#include "platform/xfile/xfile_binary.h"
#include "platform/xfile/xfile_text.h"

class xfile_token_stream {
public:
    static xfile_token_stream text(const uint8_t* data, size_t size) {
        return xfile_token_stream(xfile_text_lexer(data, size));
    }
    static xfile_token_stream binary(const uint8_t* data, size_t size, int float_bytes) {
        return xfile_token_stream(xfile_binary_lexer(data, size, float_bytes));
    }

    const xfile_token& peek();
    xfile_token next();
    void skip_separators();
    // Steps over the rest of a body whose '{' has been read, through its matching '}'; returns that
    // close_brace, or the end or error token met first.
    xfile_token skip_body();
    size_t offset() const;
    size_t remaining() const;

    // Typed member reads; false (with a reason in *why) when the next member is not of that type.
    bool read_uint(uint32_t* value, const char** why) { return read_uints(value, 1, why); }
    bool read_float(float* value, const char** why) { return read_floats(value, 1, why); }
    bool read_number(double* value, const char** why);
    bool read_string(std::string_view* value, const char** why);
    // `count` members in a row; floats are narrowed with xfile_narrow.
    bool read_uints(uint32_t* values, size_t count, const char** why);
    bool read_floats(float* values, size_t count, const char** why);
    // The integers that follow as one binary list, for callers that take whole structures from it
    // (empty in text, or when a token has been peeked); consume_uints(n) steps over n of them.
    xfile_uint_run uint_run() const;
    void consume_uints(size_t count);

private:
    // Consumes the next token (after separators): the number token, or null with *why set.
    const xfile_token* take_number(const char* expected, const char** why);
    bool read_uint_token(uint32_t* value, const char** why);
    // read_uints and read_floats: whole runs from a binary list where one is ahead, else token by token.
    template <typename T>
    bool read_run(T* values, size_t count, const char** why);
    template <typename Lexer>
    explicit xfile_token_stream(Lexer lexer) : lexer_(std::move(lexer)) {}

    std::variant<xfile_text_lexer, xfile_binary_lexer> lexer_;
    xfile_token ahead_;
    bool has_ahead_ = false;
};
