// Four-character codes ('push', 'abou') written as their four characters,
// most significant byte first, as interface files, scripts and views show
// them. Header-only: the desktop view module links nothing of the program.
#pragma once

#include "platform/MacTypes.h"

#include <string>
#include <string_view>

namespace toolbox {

// The code whose characters text holds; false when text is not four bytes.
inline bool CodeFromText(std::string_view text, OSType* out) {
    if (text.size() != 4)
        return false;
    OSType code = 0;
    for (unsigned char c : text)
        code = code << 8 | c;
    *out = code;
    return true;
}

// The four characters of a code, e.g. 'push' -> "push".
inline std::string CodeText(OSType code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
        text += static_cast<char>(code >> shift & 0xFF);
    return text;
}

} // namespace toolbox
