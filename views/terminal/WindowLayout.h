// Where a window's controls stand in a grid of character cells. Bounds in
// pixels become cells of 8 by 16 pixels. A control keeps its rows; where the
// text of what stands before it on those rows is wider than its pixels, it
// moves right, and every control that starts at the same pixel column moves
// with it, so columns stay aligned. The window grows to hold its controls, up
// to the room there is; what still does not fit is cut.
#pragma once

#include <string>
#include <vector>

#include "platform/toolbox/View.h"

namespace terminal {

inline constexpr int kPixelsPerColumn = 8;
inline constexpr int kPixelsPerRow = 16;

struct PlacedControl {
    const toolbox::ControlInfo* control = nullptr;
    int row = 0; // inside the frame
    int col = 0;
    int width = 0;  // columns taken, label included
    int height = 1; // rows taken
    // A popup's title, shown before its button; empty for other kinds.
    std::wstring label;
    // What the control shows, each line at most width columns (after the
    // label and a space, for a popup): the popup's button "[ item ▾ ]", the
    // push button "[ title ]", the icon's file name, the static text's lines.
    std::vector<std::wstring> lines;

    // Column where the lines start.
    int BodyColumn() const;
};

struct WindowLayout {
    int width = 0; // inside the frame
    int height = 0;
    std::vector<PlacedControl> controls; // top to bottom, left to right
};

// The window's controls placed in at most maxWidth by maxHeight cells.
// The window must outlive the layout.
WindowLayout LayOutWindow(const toolbox::WindowInfo& window, int maxWidth, int maxHeight);

// The short name an icon control shows: its icon file's name without the
// extension, or "—" when it shows none.
std::wstring IconLabel(const toolbox::ControlInfo& icon);

} // namespace terminal
