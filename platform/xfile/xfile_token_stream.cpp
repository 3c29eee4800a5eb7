// xfile_token_stream.cpp - the token stream over both .x encodings (contract in xfile_token_stream.h).
#include "platform/xfile/xfile_token_stream.h"

#include "platform/xfile/xfile_number.h"

#include <type_traits>

namespace {

const char* describe_mismatch(const xfile_token& token, const char* expected) {
    switch (token.kind) {
    case xfile_token_kind::end: return "unexpected end of file";
    case xfile_token_kind::error: return token.text.data();
    default: return expected;
    }
}

// A number token's value as T (uint32_t or double): a binary list must hold that kind of number,
// text must parse as one.
template <typename T>
bool number_value(const xfile_token& token, T* value, const char** why) {
    constexpr bool integer = std::is_integral_v<T>;
    if (token.binary) {
        if (token.is_float != integer) {
            *value = integer ? T(token.integer) : T(token.real);
            return true;
        }
        *why = integer ? "float where an integer was expected" : "integer where a float was expected";
        return false;
    }
    if (xfile_parse_number(token.text, value)) return true;
    *why = integer ? "malformed integer" : "malformed number";
    return false;
}

}  // namespace

const xfile_token& xfile_token_stream::peek() {
    if (!has_ahead_) {
        ahead_ = std::visit([](auto& lexer) { return lexer.next(); }, lexer_);
        has_ahead_ = true;
    }
    return ahead_;
}

xfile_token xfile_token_stream::next() {
    peek();
    has_ahead_ = false;
    return ahead_;
}

void xfile_token_stream::skip_separators() {
    while (peek().kind == xfile_token_kind::separator) next();
}

xfile_token xfile_token_stream::skip_body() {
    size_t open = 1;
    if (has_ahead_) {
        const xfile_token token = next();
        if (xfile_ends_skip(token, open)) return token;
    }
    return std::visit([open](auto& lexer) { return lexer.skip_to_close(open); }, lexer_);
}

xfile_uint_run xfile_token_stream::uint_run() const {
    if (has_ahead_) return xfile_uint_run{};
    return std::visit([](const auto& lexer) { return lexer.uint_run(); }, lexer_);
}

void xfile_token_stream::consume_uints(size_t count) {
    std::visit([count](auto& lexer) { lexer.consume_uints(count); }, lexer_);
}

size_t xfile_token_stream::offset() const {
    return std::visit([](const auto& lexer) { return lexer.offset(); }, lexer_);
}

size_t xfile_token_stream::remaining() const {
    return std::visit([](const auto& lexer) { return lexer.remaining(); }, lexer_);
}

template <typename T>
bool xfile_token_stream::read_run(T* values, size_t count, const char** why) {
    constexpr bool floats = std::is_same_v<T, float>;
    size_t done = 0;
    while (done < count) {
        if (!has_ahead_) {
            done += std::visit(
                [&](auto& lexer) {
                    if constexpr (floats)
                        return lexer.take_floats(values + done, count - done);
                    else
                        return lexer.take_uints(values + done, count - done);
                },
                lexer_);
            if (done == count) break;
        }
        if constexpr (floats) {
            double value = 0.0;
            if (!read_number(&value, why)) return false;
            values[done++] = xfile_narrow(value);
        } else {
            if (!read_uint_token(values + done, why)) return false;
            ++done;
        }
    }
    return true;
}

bool xfile_token_stream::read_uints(uint32_t* values, size_t count, const char** why) {
    return read_run(values, count, why);
}

bool xfile_token_stream::read_floats(float* values, size_t count, const char** why) {
    return read_run(values, count, why);
}

const xfile_token* xfile_token_stream::take_number(const char* expected, const char** why) {
    skip_separators();
    const xfile_token& token = peek();
    has_ahead_ = false;  // consumed; the reference stays valid until the next peek
    if (token.kind == xfile_token_kind::number) return &token;
    *why = describe_mismatch(token, expected);
    return nullptr;
}

bool xfile_token_stream::read_uint_token(uint32_t* value, const char** why) {
    const xfile_token* token = take_number("expected an integer", why);
    return token != nullptr && number_value(*token, value, why);
}

bool xfile_token_stream::read_number(double* value, const char** why) {
    const xfile_token* token = take_number("expected a number", why);
    return token != nullptr && number_value(*token, value, why);
}

bool xfile_token_stream::read_string(std::string_view* value, const char** why) {
    skip_separators();
    const xfile_token& token = peek();
    has_ahead_ = false;  // consumed; the reference stays valid until the next peek
    if (token.kind == xfile_token_kind::string) {
        *value = token.text;
        return true;
    }
    *why = describe_mismatch(token, "expected a string");
    return false;
}
