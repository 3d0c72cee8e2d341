// JSON string literals.
#include "views/headless/Json.h"

#include <cstdio>

namespace headless {
namespace {

// The length of the well-formed UTF-8 sequence at text[at], or 0.
size_t Utf8SequenceLength(std::string_view text, size_t at) {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(at);
    size_t length;
    unsigned int min;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    unsigned int code = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (byte(at + i) & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (size_t at = 0; at < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[at]);
        if (c >= 0x80) {
            size_t length = Utf8SequenceLength(text, at);
            if (length == 0) {
                out += "\\ufffd";
                ++at;
            } else {
                out.append(text.substr(at, length));
                at += length;
            }
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                out += escape;
            } else {
                out += static_cast<char>(c);
            }
        }
        ++at;
    }
    out += '"';
    return out;
}

std::string JsonStringOrNull(const std::optional<std::string>& text) {
    return text ? JsonString(*text) : "null";
}

} // namespace headless
