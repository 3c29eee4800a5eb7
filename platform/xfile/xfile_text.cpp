// xfile_text.cpp - tokenizer of the text .x encoding (contract in xfile_text.h).
#include "platform/xfile/xfile_text.h"
#include "platform/base/ascii_case.h"

#include <array>
#include <bit>
#include <cctype>
#include <cstring>

#include "platform/xfile/xfile_number.h"

namespace {

// Character classes, looked up in one table on the hot paths.
enum : uint8_t { class_space = 1, class_separator = 2, class_word_end = 4, class_number_start = 8 };

constexpr std::array<uint8_t, 256> character_classes = [] {
    std::array<uint8_t, 256> table{};
    for (int c = 0; c <= 0x20; ++c) table[c] = class_space | class_word_end;
    for (char c : std::string_view("{}[]<>;,\"")) table[uint8_t(c)] |= class_word_end;
    table[';'] |= class_separator;
    table[','] |= class_separator;
    for (char c : std::string_view("0123456789-+.")) table[uint8_t(c)] |= class_number_start;
    return table;
}();

bool is_space(uint8_t c) { return character_classes[c] & class_space; }
bool ends_word(uint8_t c) { return character_classes[c] & class_word_end; }
bool starts_number(uint8_t c) { return character_classes[c] & class_number_start; }

int hex_value(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Parses "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" into the GUID's memory layout.
bool parse_guid(std::string_view text, xfile_guid* guid) {
    static constexpr int group_digits[5] = {8, 4, 4, 4, 12};
    uint8_t value[16];
    size_t at = 0;
    int nibble = 0;
    for (int group = 0; group < 5; ++group) {
        if (group > 0) {
            if (at >= text.size() || text[at] != '-') return false;
            ++at;
        }
        for (int d = 0; d < group_digits[group]; ++d, ++at, ++nibble) {
            const int h = at < text.size() ? hex_value(static_cast<uint8_t>(text[at])) : -1;
            if (h < 0) return false;
            if (nibble % 2 == 0)
                value[nibble / 2] = static_cast<uint8_t>(h << 4);
            else
                value[nibble / 2] = static_cast<uint8_t>(value[nibble / 2] | h);
        }
    }
    if (at != text.size()) return false;
    // Data1..Data3 are written most significant first; stored little-endian.
    const uint8_t order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    for (int i = 0; i < 16; ++i) guid->bytes[i] = value[order[i]];
    return true;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && is_space(static_cast<uint8_t>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && is_space(static_cast<uint8_t>(text.back()))) text.remove_suffix(1);
    return text;
}

bool same_word(std::string_view word, const char* keyword) { return ascii_equal_ignoring_case(word, keyword); }

// The high bit of each byte of `x` that is white space (<= 0x20), or also ';' or ',' when
// `separators`; exact per byte (no carries between bytes).
uint64_t filler_bytes(uint64_t x, bool separators) {
    constexpr uint64_t ones = 0x0101010101010101ull;
    constexpr uint64_t low7 = 0x7F * ones;
    constexpr uint64_t high = 0x80 * ones;
    auto is_byte = [](uint64_t v, uint8_t c) {
        const uint64_t t = v ^ (c * ones);
        return ~(((t & low7) + low7) | t) & high;
    };
    uint64_t mask = ~(((x & low7) + (0x80 - 0x21) * ones) | x) & high;
    if (separators) mask |= is_byte(x, ';') | is_byte(x, ',');
    return mask;
}

}  // namespace

// White space (and, with class_separator in `classes`, separators) and comments from `at` on;
// returns where they end. Eight bytes are classified at a time; works on locals, since as far as
// the compiler knows the bytes of the buffer may alias the members.
size_t xfile_text_lexer::skip_filler(size_t at, uint8_t classes) const {
    constexpr uint64_t high = 0x8080808080808080ull;
    const uint8_t* const data = data_;
    const size_t size = size_;
    const bool separators = (classes & class_separator) != 0;
    for (;;) {
        for (;;) {
            if (at + 8 > size) {
                while (at < size && (character_classes[data[at]] & classes) != 0) ++at;
                break;
            }
            uint64_t word = 0;
            std::memcpy(&word, data + at, 8);
            if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
            const uint64_t others = ~filler_bytes(word, separators) & high;
            if (others != 0) {
                at += static_cast<size_t>(std::countr_zero(others)) / 8;
                break;
            }
            at += 8;
        }
        const bool comment =
            at < size && (data[at] == '#' || (data[at] == '/' && at + 1 < size && data[at + 1] == '/'));
        if (!comment) return at;
        const void* line_end = std::memchr(data + at, '\n', size - at);
        at = line_end != nullptr ? static_cast<size_t>(static_cast<const uint8_t*>(line_end) - data) : size;
    }
}

void xfile_text_lexer::skip_space_and_comments() { position_ = skip_filler(position_, class_space); }

void xfile_text_lexer::skip_space_comments_and_separators() {
    position_ = skip_filler(position_, class_space | class_separator);
}

// Where the word starting at `at` ends.
size_t xfile_text_lexer::word_end(size_t at) const {
    const uint8_t* const data = data_;
    const size_t size = size_;
    while (at < size && !ends_word(data[at])) ++at;
    return at;
}

// The numbers' fast path: the value is converted straight from the buffer and kept only when the
// conversion stops where the word ends, which is what converting the whole word would give.
template <typename T, typename Store>
size_t xfile_text_lexer::take(size_t count, Store&& store) {
    if (failed_) return 0;
    const char* text = reinterpret_cast<const char*>(data_);
    size_t taken = 0;
    while (taken < count) {
        skip_space_comments_and_separators();
        if (position_ >= size_ || !starts_number(data_[position_])) break;
        T value;
        const char* stop = xfile_scan_number(text + position_, text + size_, &value);
        if (stop == nullptr) break;
        const size_t end = static_cast<size_t>(stop - text);
        if (end < size_ && !ends_word(data_[end])) break;
        store(taken++, value);
        position_ = end;
    }
    return taken;
}

size_t xfile_text_lexer::take_uints(uint32_t* values, size_t count) {
    return take<uint32_t>(count, [values](size_t i, uint32_t value) { values[i] = value; });
}

size_t xfile_text_lexer::take_floats(float* values, size_t count) {
    return take<double>(count, [values](size_t i, double value) { values[i] = xfile_narrow(value); });
}

xfile_token xfile_text_lexer::string_token() {
    const size_t start = ++position_;
    const void* quote = std::memchr(data_ + start, '"', size_ - start);
    if (quote == nullptr) {
        position_ = size_;
        return fail("unterminated string");
    }
    position_ = static_cast<size_t>(static_cast<const uint8_t*>(quote) - data_);
    xfile_token token;
    token.kind = xfile_token_kind::string;
    token.text = std::string_view(reinterpret_cast<const char*>(data_ + start), position_ - start);
    ++position_;
    return token;
}

xfile_token xfile_text_lexer::guid_token() {
    const size_t start = ++position_;
    while (position_ < size_ && data_[position_] != '>' && position_ - start <= 64) ++position_;
    if (position_ >= size_ || data_[position_] != '>') return fail("unterminated or overlong <uuid>");
    const std::string_view inside(reinterpret_cast<const char*>(data_ + start), position_ - start);
    ++position_;
    xfile_token token;
    token.kind = xfile_token_kind::guid;
    if (!parse_guid(trim(inside), &token.guid)) return fail("malformed <uuid>");
    return token;
}

xfile_token xfile_text_lexer::word_token() {
    const size_t start = position_;
    position_ = word_end(position_);
    xfile_token token;
    token.text = std::string_view(reinterpret_cast<const char*>(data_ + start), position_ - start);
    if (starts_number(data_[start])) {
        token.kind = xfile_token_kind::number;
    } else {
        token.kind = same_word(token.text, "template") ? xfile_token_kind::template_keyword : xfile_token_kind::name;
    }
    return token;
}

xfile_token xfile_text_lexer::skip_to_close(size_t open) {
    for (;;) {
        if (failed_) return fail(failure_);
        skip_space_and_comments();
        if (position_ >= size_) return xfile_token{};
        switch (data_[position_]) {
        case '{': ++open; break;
        case '}':
            if (--open == 0) return next();
            break;
        case '"':
        case '<': {
            const xfile_token token = next();
            if (token.kind == xfile_token_kind::error) return token;
            continue;
        }
        default:
            if (ends_word(data_[position_])) break;  // ; , [ ] >
            position_ = word_end(position_);
            continue;
        }
        ++position_;
    }
}

xfile_token xfile_text_lexer::next() {
    if (failed_) return fail(failure_);
    skip_space_and_comments();
    xfile_token token;
    if (position_ >= size_) return token;
    const uint8_t c = data_[position_];
    switch (c) {
    case '{': token.kind = xfile_token_kind::open_brace; break;
    case '}': token.kind = xfile_token_kind::close_brace; break;
    case ';':
    case ',': token.kind = xfile_token_kind::separator; break;
    case '[':
    case ']':
    case '>': token.kind = xfile_token_kind::other; break;
    case '"': return string_token();
    case '<': return guid_token();
    default: return word_token();
    }
    token.text = std::string_view(reinterpret_cast<const char*>(data_ + position_), 1);
    ++position_;
    return token;
}
