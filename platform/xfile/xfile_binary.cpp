// xfile_binary.cpp - tokenizer of the binary .x encoding (contract in xfile_binary.h).
#include "platform/xfile/xfile_binary.h"

#include <algorithm>
#include <cstring>

#include "platform/xfile/xfile_number.h"

namespace {

enum : uint16_t {
    token_name = 1,
    token_string = 2,
    token_integer = 3,
    token_guid = 5,
    token_integer_list = 6,
    token_float_list = 7,
    token_open_brace = 10,
    token_close_brace = 11,
    token_comma = 19,
    token_semicolon = 20,
    token_template = 31,
};

bool is_syntax_token(uint16_t code) { return (code >= 12 && code <= 18) || (code >= 40 && code <= 52); }

bool is_terminator(uint32_t code) { return code == token_comma || code == token_semicolon; }

xfile_token simple(xfile_token_kind kind) {
    xfile_token token;
    token.kind = kind;
    return token;
}

}  // namespace

xfile_token xfile_binary_lexer::list_element() {
    xfile_token token;
    token.kind = xfile_token_kind::number;
    token.binary = true;
    token.is_float = list_of_floats_;
    --list_left_;
    bool ok;
    if (!list_of_floats_) {
        ok = in_.u32(&token.integer);
    } else if (float_bytes_ == 8) {
        ok = in_.f64(&token.real);
    } else {
        float value = 0.0f;
        ok = in_.f32(&value);
        token.real = value;
    }
    return ok ? token : fail("truncated number list");
}

size_t xfile_binary_lexer::take_uints(uint32_t* values, size_t count) {
    const size_t n = std::min<size_t>(count, list_left_);
    if (failed_ || list_of_floats_ || n == 0 || !in_.u32s(values, n)) return 0;
    list_left_ -= static_cast<uint32_t>(n);
    return n;
}

xfile_uint_run xfile_binary_lexer::uint_run() const {
    xfile_uint_run run;
    if (failed_ || list_of_floats_ || !in_.look(size_t(list_left_) * 4, &run.bytes)) return xfile_uint_run{};
    run.count = list_left_;
    return run;
}

void xfile_binary_lexer::consume_uints(size_t count) {
    in_.skip(count * 4);
    list_left_ -= static_cast<uint32_t>(count);
}

size_t xfile_binary_lexer::take_floats(float* values, size_t count) {
    const size_t n = std::min<size_t>(count, list_left_);
    if (failed_ || !list_of_floats_ || n == 0) return 0;
    if (float_bytes_ == 4) {
        if (!in_.u32s(values, n)) return 0;
    } else {
        for (size_t i = 0; i < n; ++i) {
            double value = 0.0;
            if (!in_.f64(&value)) return 0;  // not reached: start_list checked that the list fits
            values[i] = xfile_narrow(value);
        }
    }
    list_left_ -= static_cast<uint32_t>(n);
    return n;
}

bool xfile_binary_lexer::start_list(bool of_floats) {
    uint32_t count = 0;
    if (!in_.u32(&count)) return false;
    const size_t element = of_floats ? size_t(float_bytes_) : 4;
    if (count > in_.remaining() / element) return false;
    list_of_floats_ = of_floats;
    list_left_ = count;
    return true;
}

xfile_token xfile_binary_lexer::name_or_string(bool is_name) {
    uint32_t count = 0;
    const uint8_t* bytes = nullptr;
    if (!in_.u32(&count) || !in_.bytes(count, &bytes)) return fail("truncated name or string");
    xfile_token token;
    token.kind = is_name ? xfile_token_kind::name : xfile_token_kind::string;
    token.text = std::string_view(reinterpret_cast<const char*>(bytes), count);
    if (!is_name) skip_string_terminator();
    return token;
}

// A SEMICOLON or COMMA after a string, as a WORD or as a DWORD (whose upper WORD is zero, never a
// token); anything else is left for the next token.
void xfile_binary_lexer::skip_string_terminator() {
    uint16_t word = 0;
    if (!in_.u16(&word)) return;
    if (!is_terminator(word)) {
        in_.rewind(2);
        return;
    }
    if (in_.u16(&word) && word != 0) in_.rewind(2);
}

xfile_token xfile_binary_lexer::integer() {
    xfile_token token;
    token.kind = xfile_token_kind::number;
    token.binary = true;
    if (!in_.u32(&token.integer)) return fail("truncated integer");
    return token;
}

xfile_token xfile_binary_lexer::guid() {
    const uint8_t* bytes = nullptr;
    if (!in_.bytes(16, &bytes)) return fail("truncated GUID");
    xfile_token token;
    token.kind = xfile_token_kind::guid;
    std::memcpy(token.guid.bytes, bytes, 16);
    return token;
}

xfile_token xfile_binary_lexer::skip_to_close(size_t open) {
    for (;;) {
        if (list_left_ > 0) {
            in_.skip(size_t(list_left_) * (list_of_floats_ ? size_t(float_bytes_) : 4));  // start_list checked the size
            list_left_ = 0;
        }
        const xfile_token token = next();
        if (xfile_ends_skip(token, open)) return token;
    }
}

xfile_token xfile_binary_lexer::next() {
    for (;;) {
        if (failed_) return fail(failure_);
        if (list_left_ > 0) return list_element();
        uint16_t code = 0;
        if (!in_.u16(&code)) return in_.at_end() ? simple(xfile_token_kind::end) : fail("truncated token");
        switch (code) {
        case token_integer_list:
        case token_float_list:
            if (!start_list(code == token_float_list)) return fail("truncated or overlong number list");
            continue;
        case token_name: return name_or_string(true);
        case token_string: return name_or_string(false);
        case token_integer: return integer();
        case token_guid: return guid();
        case token_open_brace: return simple(xfile_token_kind::open_brace);
        case token_close_brace: return simple(xfile_token_kind::close_brace);
        case token_comma:
        case token_semicolon: return simple(xfile_token_kind::separator);
        case token_template: return simple(xfile_token_kind::template_keyword);
        default:
            if (is_syntax_token(code)) return simple(xfile_token_kind::other);
            return fail("unknown binary token");
        }
    }
}
