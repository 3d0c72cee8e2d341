// The terminal view's texts and window layout, without a terminal.
#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "platform/toolbox/Controls.h"
#include "views/terminal/Text.h"
#include "views/terminal/WindowLayout.h"

namespace terminal {
namespace {

class TerminalTextTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr); }
};

TEST_F(TerminalTextTest, NoControlCharacterOrBrokenByteReachesTheTerminal) {
    EXPECT_EQ(Wide("a\x1b[2Jb"), L"a\uFFFD[2Jb");
    EXPECT_EQ(Wide("tab\there"), L"tab here");
    EXPECT_EQ(Wide("del\x7f"), L"del\uFFFD");
    EXPECT_EQ(Wide("\xc2\x9b"
                   "1m"),
              L"\uFFFD1m"); // the one-character CSI
    EXPECT_EQ(Wide("\xff"
                   "ok\xe2\x80"),
              L"\uFFFDok\uFFFD\uFFFD");
    EXPECT_EQ(Wide(std::string("nul\0x", 5)), L"nul\uFFFDx");
    EXPECT_EQ(Wide("two\nlines"), L"two\nlines");
    EXPECT_EQ(Wide("Größe…"), L"Größe…");
}

TEST_F(TerminalTextTest, WrapBreaksBetweenWordsAtLineEndsAndSplitsLongWords) {
    struct Case {
        std::wstring text;
        int width;
        std::vector<std::wstring> lines;
    };
    const Case cases[] = {
        {L"The capacity beyond 128 GB becomes a new volume.",
         20,
         {L"The capacity beyond", L"128 GB becomes a new", L"volume."}},
        {L"abcdefghij", 4, {L"abcd", L"efgh", L"ij"}},
        {L"one\ntwo three", 20, {L"one", L"two three"}},
        {L"  spaced   out  ", 20, {L"spaced out"}},
        {L"", 10, {L""}},
        // Two columns a character.
        {L"日本語テキスト", 6, {L"日本語", L"テキス", L"ト"}},
        {L"日本", 1, {L"日", L"本"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "width " << c.width);
        EXPECT_EQ(Wrap(c.text, c.width), c.lines);
    }
}

TEST_F(TerminalTextTest, CutTextsEndInAnEllipsisWithinTheirWidth) {
    EXPECT_EQ(Fit(L"Capacity", 8), L"Capacity");
    EXPECT_EQ(Fit(L"Capacity", 5), L"Capa…");
    EXPECT_EQ(Fit(L"日本語", 4), L"日…");
    EXPECT_EQ(Fit(L"Capacity", 0), L"");
    EXPECT_EQ(Pad(L"ab", 4), L"ab  ");
    EXPECT_EQ(Width(Pad(L"日本語", 5)), 5);
    EXPECT_EQ(WrapInto(L"one two three four", 9, 2),
              (std::vector<std::wstring>{L"one two", L"three…"}));
    EXPECT_EQ(WrapInto(L"one two", 9, 2), std::vector<std::wstring>{L"one two"});
}

toolbox::ControlInfo Control(OSType kind, SInt16 top, SInt16 left, SInt16 bottom, SInt16 right) {
    toolbox::ControlInfo control;
    control.kind = kind;
    control.bounds = Rect{top, left, bottom, right};
    return control;
}

const PlacedControl& Placed(const WindowLayout& layout, const toolbox::ControlInfo& control) {
    for (const PlacedControl& placed : layout.controls) {
        if (placed.control == &control)
            return placed;
    }
    throw std::logic_error("control not laid out");
}

// An icon whose name is wider than its pixels, static texts beside and below
// it, a popup and a push button: the shape of the main window.
struct SampleWindow {
    toolbox::WindowInfo window;
    SampleWindow() {
        window.bounds = Rect{0, 0, 200, 440}; // 55 columns, 13 rows
        toolbox::ControlInfo popup = Control(kControlKindPopupButton, 20, 96, 40, 424);
        popup.title = "Drive:";
        popup.value = 1;
        popup.menu.items.resize(3);
        popup.menu.items[0].text = "Choose a drive";
        popup.menu.items[1].separator = true;
        popup.menu.items[1].enabled = false;
        popup.menu.items[2].text = "TARNWICK TW1600A";
        toolbox::ControlInfo icon = Control(kControlKindIcon, 56, 96, 88, 128);
        icon.iconPath = "/bundle/Resources/unknownDevice.icns";
        toolbox::ControlInfo beside = Control(kControlKindStaticText, 56, 140, 72, 424);
        beside.text = "ATA Bus 1: Master";
        toolbox::ControlInfo below = Control(kControlKindStaticText, 74, 140, 90, 424);
        below.text = "149.0 GB";
        toolbox::ControlInfo note = Control(kControlKindStaticText, 104, 140, 136, 200);
        note.text = "The capacity beyond 128 GB becomes a new volume.";
        toolbox::ControlInfo push = Control(kControlKindPushButton, 160, 334, 180, 424);
        push.title = "Extend";
        window.controls = {popup, icon, beside, below, note, push};
    }
    const toolbox::ControlInfo& popup() const { return window.controls[0]; }
    const toolbox::ControlInfo& icon() const { return window.controls[1]; }
    const toolbox::ControlInfo& beside() const { return window.controls[2]; }
    const toolbox::ControlInfo& below() const { return window.controls[3]; }
    const toolbox::ControlInfo& note() const { return window.controls[4]; }
    const toolbox::ControlInfo& push() const { return window.controls[5]; }
};

TEST_F(TerminalTextTest, ControlsKeepTheirRowsAndMoveRightPastWiderTextInAlignedColumns) {
    SampleWindow sample;
    WindowLayout layout = LayOutWindow(sample.window, 78, 20);

    const PlacedControl& icon = Placed(layout, sample.icon());
    EXPECT_EQ(icon.row, 4);
    EXPECT_EQ(icon.col, 12);
    EXPECT_EQ(icon.lines, std::vector<std::wstring>{L"unknownDevice"});
    // Pixel column 140 is cell 18, but the icon's name reaches to 25.
    const PlacedControl& beside = Placed(layout, sample.beside());
    const PlacedControl& below = Placed(layout, sample.below());
    const PlacedControl& note = Placed(layout, sample.note());
    EXPECT_EQ(beside.col, 27);
    EXPECT_EQ(below.col, 27);
    EXPECT_EQ(note.col, 27);
    EXPECT_EQ(below.row, 5);
    // Two rows high, 60 pixels wide: the note widens to fit its rows.
    EXPECT_EQ(note.row, 7);
    EXPECT_EQ(note.lines.size(), 2u);
    EXPECT_EQ(note.lines[0] + L" " + note.lines[1],
              L"The capacity beyond 128 GB becomes a new volume.");

    const PlacedControl& popup = Placed(layout, sample.popup());
    EXPECT_EQ(popup.label, L"Drive:");
    EXPECT_EQ(popup.BodyColumn(), popup.col + 7);
    ASSERT_EQ(popup.lines.size(), 1u);
    EXPECT_EQ(popup.lines[0].rfind(L"[ Choose a drive", 0), 0u);
    EXPECT_EQ(popup.lines[0].substr(popup.lines[0].size() - 4), L" ▾ ]");
    EXPECT_EQ(popup.width, Width(popup.label) + 1 + Width(popup.lines[0]));

    const PlacedControl& push = Placed(layout, sample.push());
    EXPECT_EQ(push.row, 10);
    EXPECT_EQ(push.col, 42);
    EXPECT_EQ(push.lines, std::vector<std::wstring>{L"[ Extend ]"});

    // Everything inside the window, which grew to hold the note.
    EXPECT_GE(layout.width, 55);
    EXPECT_EQ(layout.height, 13);
    for (const PlacedControl& placed : layout.controls) {
        for (const std::wstring& line : placed.lines)
            EXPECT_LE(placed.BodyColumn() + Width(line), layout.width);
    }
    // Top to bottom, left to right: the popup comes before the button.
    EXPECT_EQ(layout.controls.front().control, &sample.popup());
    EXPECT_EQ(layout.controls.back().control, &sample.push());
}

TEST_F(TerminalTextTest, AWindowWiderThanTheRoomIsCutToIt) {
    SampleWindow sample;
    WindowLayout layout = LayOutWindow(sample.window, 40, 8);
    EXPECT_EQ(layout.width, 40);
    EXPECT_EQ(layout.height, 8);
    for (const PlacedControl& placed : layout.controls) {
        for (const std::wstring& line : placed.lines)
            EXPECT_LE(placed.BodyColumn() + Width(line), 40) << line;
    }
    const PlacedControl& note = Placed(layout, sample.note());
    ASSERT_EQ(note.lines.size(), 2u);
    EXPECT_EQ(note.lines[1].back(), L'…');
}

TEST_F(TerminalTextTest, AnIconWithoutAFileShowsADash) {
    toolbox::ControlInfo icon = Control(kControlKindIcon, 0, 0, 32, 32);
    EXPECT_EQ(IconLabel(icon), L"—");
    icon.iconPath =
        "System/Library/Extensions/IOStorageFamily.kext/Contents/Resources/Internal.icns";
    EXPECT_EQ(IconLabel(icon), L"Internal");
}

} // namespace
} // namespace terminal
