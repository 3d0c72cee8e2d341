// Reading a captured terminal screen: cells with the attributes they were
// drawn with, framed boxes, and the texts shown in reverse video.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace terminal_test {

struct Cell {
    std::string text; // one character, UTF-8
    bool reverse = false;
    bool dim = false;
    bool red = false;
};

using ScreenLine = std::vector<Cell>;

// The screen of `tmux capture-pane -e`: its SGR sequences become the cells'
// attributes.
std::vector<ScreenLine> ParseScreen(const std::string& withAttributes);

std::string LineText(const ScreenLine& line);

// Whether `text` stands on the screen with every one of its cells passing `test`.
bool ShownWith(const std::vector<ScreenLine>& screen, const std::string& text,
               bool (*test)(const Cell&));

// The runs of reverse-video text below the menu bar (line 0), trimmed.
std::vector<std::string> ReverseTexts(const std::vector<ScreenLine>& screen);

// The inside of the framed box whose top edge holds `title`, lines joined by
// single spaces, or nothing when no such box is on the screen.
std::optional<std::string> BoxText(const std::string& screen, const std::string& title);

} // namespace terminal_test
