// Placing a window's controls in character cells.
#include "views/terminal/WindowLayout.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "platform/toolbox/Controls.h"
#include "views/terminal/Text.h"

namespace terminal {
namespace {

// Blank columns kept between controls that stand side by side.
constexpr int kGap = 2;
// "[ " before a popup's item text and " ▾ ]" after it.
constexpr int kPopupDecoration = 6;

int Columns(int pixels) {
    return (std::max(pixels, 0) + kPixelsPerColumn / 2) / kPixelsPerColumn;
}

int Rows(int pixels) {
    return (std::max(pixels, 0) + kPixelsPerRow / 2) / kPixelsPerRow;
}

std::wstring ChosenItemText(const toolbox::ControlInfo& popup) {
    const auto& items = popup.menu.items;
    if (popup.value < 1 || static_cast<size_t>(popup.value) > items.size())
        return {};
    return Wide(items[popup.value - 1].text);
}

int LabelColumns(const std::wstring& label) {
    return label.empty() ? 0 : Width(label) + 1;
}

// Columns the control would like, before the window's width limits it.
int NaturalWidth(const toolbox::ControlInfo& control, int height) {
    int scaled = Columns(control.bounds.right - control.bounds.left);
    switch (control.kind) {
    case kControlKindIcon:
        return Width(IconLabel(control));
    case kControlKindPushButton:
        return Width(Wide(control.title)) + 4;
    case kControlKindPopupButton: {
        // Wide enough for every item, so that choosing one moves nothing.
        int itemWidth = 0;
        for (const toolbox::MenuItemInfo& item : control.menu.items)
            itemWidth = std::max(itemWidth, Width(Wide(item.text)));
        return std::max(scaled, LabelColumns(Wide(control.title)) + itemWidth + kPopupDecoration);
    }
    case kControlKindStaticText: {
        // Widened when the text needs more rows than the control has.
        std::wstring text = Wide(control.text);
        int width = std::max(scaled, 1);
        while (width < Width(text) && Wrap(text, width).size() > static_cast<size_t>(height))
            ++width;
        return width;
    }
    default:
        return Width(Wide(control.title));
    }
}

// What the control shows in the columns it has.
void FillLines(PlacedControl& placed) {
    const toolbox::ControlInfo& control = *placed.control;
    int width = placed.width;
    if (width <= 0)
        return; // outside the window: nothing shows
    switch (control.kind) {
    case kControlKindIcon:
        placed.lines = {Fit(IconLabel(control), width)};
        break;
    case kControlKindPushButton:
        placed.lines = {L"[ " + Fit(Wide(control.title), std::max(width - 4, 1)) + L" ]"};
        break;
    case kControlKindPopupButton: {
        placed.label = Fit(Wide(control.title), std::max(width - kPopupDecoration - 2, 0));
        int textWidth = std::max(width - LabelColumns(placed.label) - kPopupDecoration, 1);
        placed.lines = {L"[ " + Pad(ChosenItemText(control), textWidth) + L" ▾ ]"};
        break;
    }
    case kControlKindStaticText:
        placed.lines = WrapInto(Wide(control.text), width, placed.height);
        break;
    default:
        placed.lines = {Fit(Wide(control.title), width)};
        break;
    }
    // Whatever the decoration, nothing goes past the control's width.
    for (std::wstring& line : placed.lines)
        line = Fit(line, width - LabelColumns(placed.label));
}

bool RowsOverlap(const PlacedControl& a, const PlacedControl& b) {
    return a.row < b.row + b.height && b.row < a.row + a.height;
}

} // namespace

int PlacedControl::BodyColumn() const {
    return col + LabelColumns(label);
}

std::wstring IconLabel(const toolbox::ControlInfo& icon) {
    if (!icon.iconPath || icon.iconPath->empty())
        return L"—";
    std::wstring stem = Wide(std::filesystem::path(*icon.iconPath).stem().string());
    return stem.empty() ? L"—" : stem;
}

WindowLayout LayOutWindow(const toolbox::WindowInfo& window, int maxWidth, int maxHeight) {
    WindowLayout layout;
    std::set<SInt16> lefts;
    for (const toolbox::ControlInfo& control : window.controls) {
        PlacedControl placed;
        placed.control = &control;
        placed.row = Rows(control.bounds.top);
        placed.height = control.kind == kControlKindStaticText
                            ? std::max(Rows(control.bounds.bottom - control.bounds.top), 1)
                            : 1;
        placed.width = NaturalWidth(control, placed.height);
        layout.controls.push_back(std::move(placed));
        lefts.insert(control.bounds.left);
    }

    // Left to right by pixel column: each column starts where its pixels say,
    // or past the widest control before it on any of its rows.
    for (SInt16 left : lefts) {
        int start = Columns(left);
        for (const PlacedControl& placed : layout.controls) {
            if (placed.control->bounds.left != left)
                continue;
            for (const PlacedControl& before : layout.controls) {
                if (before.control->bounds.left < left && RowsOverlap(placed, before))
                    start = std::max(start, before.col + before.width + kGap);
            }
        }
        for (PlacedControl& placed : layout.controls) {
            if (placed.control->bounds.left == left)
                placed.col = start;
        }
    }

    layout.width = Columns(window.bounds.right - window.bounds.left);
    layout.height = Rows(window.bounds.bottom - window.bounds.top);
    for (const PlacedControl& placed : layout.controls) {
        layout.width = std::max(layout.width, placed.col + placed.width + 1);
        layout.height = std::max(layout.height, placed.row + placed.height);
    }
    layout.width = std::max(std::min(layout.width, maxWidth), 0);
    layout.height = std::max(std::min(layout.height, maxHeight), 0);

    for (PlacedControl& placed : layout.controls) {
        placed.width = std::max(std::min(placed.width, layout.width - 1 - placed.col), 0);
        FillLines(placed);
    }
    std::sort(layout.controls.begin(), layout.controls.end(),
              [](const PlacedControl& a, const PlacedControl& b) {
                  return a.row != b.row ? a.row < b.row : a.col < b.col;
              });
    return layout;
}

} // namespace terminal
