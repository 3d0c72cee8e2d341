// Wide characters, column widths, cutting and wrapping.
#include "views/terminal/Text.h"

#include <algorithm>
#include <cwchar>

namespace terminal {
namespace {

constexpr wchar_t kReplacement = L'\uFFFD';

int CharWidth(wchar_t c) {
    int width = wcwidth(c);
    return width < 0 ? 1 : width;
}

// The longest start of the text that takes at most `width` columns.
size_t FittingLength(std::wstring_view text, int width) {
    int used = 0;
    size_t n = 0;
    for (; n < text.size(); ++n) {
        int w = CharWidth(text[n]);
        if (used + w > width)
            break;
        used += w;
    }
    return n;
}

// One paragraph (no line ends) into lines.
void WrapParagraph(std::wstring_view text, int width, std::vector<std::wstring>& lines) {
    std::wstring line;
    int lineWidth = 0;
    size_t pos = 0;
    bool any = false;
    while (pos < text.size()) {
        if (text[pos] == L' ') {
            ++pos;
            continue;
        }
        size_t end = text.find(L' ', pos);
        std::wstring_view word = text.substr(pos, end == std::wstring_view::npos ? end : end - pos);
        pos += word.size();
        int wordWidth = Width(word);
        if (!line.empty() && lineWidth + 1 + wordWidth <= width) {
            line += L' ';
            line += word;
            lineWidth += 1 + wordWidth;
            continue;
        }
        if (!line.empty()) {
            lines.push_back(line);
            line.clear();
        }
        // A word wider than a line fills whole lines first.
        while (Width(word) > width) {
            size_t n = FittingLength(word, width);
            if (n == 0)
                n = 1; // a character wider than the line still goes somewhere
            lines.emplace_back(word.substr(0, n));
            word.remove_prefix(n);
        }
        line = word;
        lineWidth = Width(word);
        any = true;
    }
    if (!line.empty() || !any)
        lines.push_back(line);
}

} // namespace

std::wstring Wide(std::string_view utf8) {
    std::wstring out;
    std::mbstate_t state{};
    const char* p = utf8.data();
    size_t left = utf8.size();
    while (left > 0) {
        wchar_t c = 0;
        size_t used = std::mbrtowc(&c, p, left, &state);
        if (used == static_cast<size_t>(-1) || used == static_cast<size_t>(-2) || used == 0) {
            // Not UTF-8 (or an embedded NUL): one byte becomes one replacement.
            c = kReplacement;
            state = std::mbstate_t{};
            used = 1;
        } else if (c == L'\t') {
            c = L' ';
        } else if (c != L'\n' && (c < 0x20 || (c >= 0x7F && c < 0xA0))) {
            c = kReplacement;
        }
        out += c;
        p += used;
        left -= used;
    }
    return out;
}

int Width(std::wstring_view text) {
    int width = 0;
    for (wchar_t c : text)
        width += CharWidth(c);
    return width;
}

std::wstring Fit(std::wstring_view text, int width) {
    if (width <= 0)
        return {};
    if (Width(text) <= width)
        return std::wstring(text);
    std::wstring cut(text.substr(0, FittingLength(text, width - 1)));
    return cut + L'…';
}

std::wstring Pad(std::wstring_view text, int width) {
    std::wstring fitted = Fit(text, width);
    return fitted + std::wstring(std::max(0, width - Width(fitted)), L' ');
}

std::vector<std::wstring> Wrap(std::wstring_view text, int width) {
    std::vector<std::wstring> lines;
    if (width <= 0)
        return lines;
    size_t start = 0;
    while (true) {
        size_t end = text.find(L'\n', start);
        WrapParagraph(text.substr(start, end == std::wstring_view::npos ? end : end - start), width,
                      lines);
        if (end == std::wstring_view::npos)
            break;
        start = end + 1;
    }
    return lines;
}

std::vector<std::wstring> WrapInto(std::wstring_view text, int width, int maxLines) {
    std::vector<std::wstring> lines = Wrap(text, width);
    if (maxLines < 0 || lines.size() <= static_cast<size_t>(maxLines))
        return lines;
    lines.resize(maxLines);
    if (!lines.empty()) {
        std::wstring& last = lines.back();
        last = last.substr(0, FittingLength(last, width - 1)) + L'…';
    }
    return lines;
}

} // namespace terminal
