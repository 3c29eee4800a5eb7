// xmesh_escape.cpp - C-like and JSON escaping of names; see xmesh_escape.h.
#include "xmesh_escape.h"

#include <cstdint>
#include <cstdio>

namespace {

void append_hex_byte(std::string& out, uint8_t byte) {
    char text[5];
    std::snprintf(text, sizeof text, "\\x%02X", byte);
    out += text;
}

void append_json_escape(std::string& out, uint32_t code_point) {
    char text[7];
    std::snprintf(text, sizeof text, "\\u%04x", static_cast<unsigned>(code_point));
    out += text;
}

bool is_c1_in_utf8(std::string_view text, size_t at) {
    return uint8_t(text[at]) == 0xC2 && at + 1 < text.size() && uint8_t(text[at + 1]) >= 0x80 &&
           uint8_t(text[at + 1]) <= 0x9F;
}

// The length of the well-formed UTF-8 sequence starting at `at` (overlong forms, surrogates and
// values past U+10FFFF are not), or 0; its code point in *code_point.
size_t utf8_sequence(std::string_view text, size_t at, uint32_t* code_point) {
    const uint8_t lead = uint8_t(text[at]);
    size_t length = 0;
    uint32_t value = 0;
    uint32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        const uint8_t next = uint8_t(text[at + k]);
        if ((next & 0xC0) != 0x80) return 0;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    *code_point = value;
    return length;
}

}  // namespace

std::string xmesh_escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t c = uint8_t(text[i]);
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                append_hex_byte(out, c);
            } else if (is_c1_in_utf8(text, i)) {
                append_hex_byte(out, c);
                append_hex_byte(out, uint8_t(text[++i]));
            } else {
                out.push_back(char(c));
            }
        }
    }
    return out;
}

std::string xmesh_json_string(std::string_view text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const uint8_t c = uint8_t(text[i]);
        uint32_t code_point = 0;
        size_t length = 1;
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(char(c));
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7F) {
            append_json_escape(out, c);
        } else if (c < 0x80) {
            out.push_back(char(c));
        } else if ((length = utf8_sequence(text, i, &code_point)) == 0) {
            out += "\\ufffd";
            length = 1;
        } else if (code_point <= 0x9F) {
            append_json_escape(out, code_point);
        } else {
            out.append(text.substr(i, length));
        }
        i += length;
    }
    out.push_back('"');
    return out;
}
