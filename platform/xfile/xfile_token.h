// xfile_token.h - the tokens that the text and binary .x lexers share, so that one parser reads both.
//
// As tokens, numbers come one per token in both encodings: the binary lexer hands out the elements
// of its integer and float lists one by one, the text lexer hands out number words unparsed (the
// token stream converts them to the type asked for). Runs of numbers skip tokens altogether (the
// lexers' take_* and uint_run). Views point into the buffer being lexed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

struct xfile_guid {
    uint8_t bytes[16] = {};  // Data1 (4), Data2 (2), Data3 (2) little-endian, then Data4 (8)
    bool operator==(const xfile_guid&) const = default;
};

enum class xfile_token_kind : uint8_t {
    end,     // no more input
    error,   // malformed input; text holds the reason
    name,    // identifier or object name
    number,  // text: the word in `text`; binary: `integer` or `real` (see is_float)
    string,  // quoted string contents, without quotes, escapes untouched
    guid,    // <uuid> or binary GUID
    open_brace,
    close_brace,
    separator,         // ';' or ','
    template_keyword,  // "template" or the binary TEMPLATE token
    other,             // brackets, type keywords and other template syntax
};

struct xfile_token {
    xfile_token_kind kind = xfile_token_kind::end;
    std::string_view text;
    bool binary = false;    // number came from a binary list
    bool is_float = false;  // binary number from a float list
    uint32_t integer = 0;
    double real = 0.0;
    xfile_guid guid;
};

// Integers that follow one another in a binary list, still in the file's little-endian bytes.
struct xfile_uint_run {
    const uint8_t* bytes = nullptr;
    size_t count = 0;
    uint32_t operator[](size_t i) const {
        const uint8_t* p = bytes + 4 * i;
        return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    }
};

// The token a lexer returns when it stops on malformed input; `reason` must outlive it.
inline xfile_token xfile_error_token(const char* reason) {
    xfile_token token;
    token.kind = xfile_token_kind::error;
    token.text = reason;
    return token;
}

// What both lexers keep of a failure: once failed, a lexer keeps returning the same error token.
class xfile_lexer_failure {
protected:
    xfile_token fail(const char* reason) {
        failed_ = true;
        failure_ = reason;
        return xfile_error_token(reason);
    }

    bool failed_ = false;
    const char* failure_ = "";
};

inline bool xfile_is_name_like(const xfile_token& token) {
    return token.kind == xfile_token_kind::name || (token.kind == xfile_token_kind::number && !token.binary);
}

// One step of skipping a body whose `open` braces are still open: counts the braces and says
// whether `token` ends the skip (the brace that closes the body, the end of input or an error).
inline bool xfile_ends_skip(const xfile_token& token, size_t& open) {
    switch (token.kind) {
    case xfile_token_kind::open_brace: ++open; return false;
    case xfile_token_kind::close_brace: return --open == 0;
    case xfile_token_kind::end:
    case xfile_token_kind::error: return true;
    default: return false;
    }
}
