// Texts as a terminal shows them: UTF-8 turned into wide characters, their
// width in columns, and lines cut or wrapped to a width. The conversions
// follow the character-type locale, which must be a UTF-8 one (the terminal
// session sets it before anything is drawn).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace terminal {

// The characters of a UTF-8 text. Bytes that are not UTF-8 become U+FFFD, a
// tab becomes a space, and other control characters become U+FFFD, so
// nothing in a text can reach the terminal as a control sequence. Line ends
// are kept.
std::wstring Wide(std::string_view utf8);

// Columns the text takes on the screen.
int Width(std::wstring_view text);

// At most `width` columns of the text; a text cut short ends in "…".
std::wstring Fit(std::wstring_view text, int width);

// The text padded with spaces, or cut, to exactly `width` columns.
std::wstring Pad(std::wstring_view text, int width);

// The text in lines of at most `width` columns, broken between words and at
// line ends; a word longer than a line is split.
std::vector<std::wstring> Wrap(std::wstring_view text, int width);

// Wrap, keeping at most maxLines lines; when the text needs more, the last
// line kept ends in "…".
std::vector<std::wstring> WrapInto(std::wstring_view text, int width, int maxLines);

} // namespace terminal
