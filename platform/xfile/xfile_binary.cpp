// xfile_binary.cpp - tokenizer of the binary .x encoding (contract in xfile_binary.h).
#include "platform/xfile/xfile_binary.h"

#include <cstring>

namespace {

enum : uint16_t {
    kName = 1,
    kString = 2,
    kInteger = 3,
    kGuid = 5,
    kIntegerList = 6,
    kFloatList = 7,
    kOpenBrace = 10,
    kCloseBrace = 11,
    kComma = 19,
    kSemicolon = 20,
    kTemplate = 31,
};

bool is_syntax_token(uint16_t code) { return (code >= 12 && code <= 18) || (code >= 40 && code <= 52); }

bool is_terminator(uint32_t code) { return code == kComma || code == kSemicolon; }

XToken simple(XTok kind) {
    XToken token;
    token.kind = kind;
    return token;
}

}  // namespace

XToken XBinaryLexer::fail(const char* reason) {
    failed_ = true;
    failure_ = reason;
    return xfile_error_token(reason);
}

XToken XBinaryLexer::list_element() {
    XToken token;
    token.kind = XTok::number;
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

bool XBinaryLexer::start_list(bool of_floats) {
    uint32_t count = 0;
    if (!in_.u32(&count)) return false;
    const size_t element = of_floats ? size_t(float_bytes_) : 4;
    if (count > in_.remaining() / element) return false;
    list_of_floats_ = of_floats;
    list_left_ = count;
    return true;
}

XToken XBinaryLexer::name_or_string(bool is_name) {
    uint32_t count = 0;
    const uint8_t* bytes = nullptr;
    if (!in_.u32(&count) || !in_.bytes(count, &bytes)) return fail("truncated name or string");
    XToken token;
    token.kind = is_name ? XTok::name : XTok::string;
    token.text = std::string_view(reinterpret_cast<const char*>(bytes), count);
    if (!is_name) skip_string_terminator();
    return token;
}

// A SEMICOLON or COMMA after a string, as a WORD or as a DWORD (whose upper WORD is zero, never a
// token); anything else is left for the next token.
void XBinaryLexer::skip_string_terminator() {
    uint16_t word = 0;
    if (!in_.u16(&word)) return;
    if (!is_terminator(word)) {
        in_.rewind(2);
        return;
    }
    if (in_.u16(&word) && word != 0) in_.rewind(2);
}

XToken XBinaryLexer::integer() {
    XToken token;
    token.kind = XTok::number;
    token.binary = true;
    if (!in_.u32(&token.integer)) return fail("truncated integer");
    return token;
}

XToken XBinaryLexer::guid() {
    const uint8_t* bytes = nullptr;
    if (!in_.bytes(16, &bytes)) return fail("truncated GUID");
    XToken token;
    token.kind = XTok::guid;
    std::memcpy(token.guid.bytes, bytes, 16);
    return token;
}

XToken XBinaryLexer::next() {
    for (;;) {
        if (failed_) return fail(failure_);
        if (list_left_ > 0) return list_element();
        uint16_t code = 0;
        if (!in_.u16(&code)) return in_.at_end() ? simple(XTok::end) : fail("truncated token");
        switch (code) {
        case kIntegerList:
        case kFloatList:
            if (!start_list(code == kFloatList)) return fail("truncated or overlong number list");
            continue;
        case kName: return name_or_string(true);
        case kString: return name_or_string(false);
        case kInteger: return integer();
        case kGuid: return guid();
        case kOpenBrace: return simple(XTok::open_brace);
        case kCloseBrace: return simple(XTok::close_brace);
        case kComma:
        case kSemicolon: return simple(XTok::separator);
        case kTemplate: return simple(XTok::template_keyword);
        default:
            if (is_syntax_token(code)) return simple(XTok::other);
            return fail("unknown binary token");
        }
    }
}
