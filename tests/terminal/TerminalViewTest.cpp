// The program in a terminal, driven by keys as a person would: on the demo
// host, without a display, so that the program chooses the terminal view by
// itself.
#include <gtest/gtest.h>

#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>

#include "host/DemoHost.h"
#include "partition/MapImageBuilder.h"
#include "tests/support/TempFolder.h"
#include "tests/terminal/ScreenText.h"
#include "tests/terminal/TmuxTerminal.h"

namespace terminal_test {
namespace {

namespace fs = std::filesystem;

const std::string kProgram = CAPEXT_BUILT_PROGRAM;

// The drives of the demo host that the program lists, in its order, and the
// built-in drive of another driver that it must not list.
const std::vector<std::string> kListedDrives = {
    "TARNWICK TW1600A", "TARNWICK TW2500B", "OSLUND 80GXP", "TARNWICK TW2000A", "ST146",
    "Halvard FW300",    "Pocket 200"};
const std::string kUnlistedDrive = "OSLUND 40GX";
const std::string kWorkedExampleDrive = "TARNWICK TW1600A"; // disk1
const std::string kSmallDrive = "OSLUND 80GXP";

bool Reverse(const Cell& cell) {
    return cell.reverse;
}
bool Dim(const Cell& cell) {
    return cell.dim;
}
bool Plain(const Cell& cell) {
    return !cell.dim && !cell.reverse;
}
bool Red(const Cell& cell) {
    return cell.red;
}

bool Contains(const std::string& screen, const std::string& text) {
    return screen.find(text) != std::string::npos;
}

// The item highlighted in an open list: the reverse-video text that is not
// a button ("[ … ]"), without the check mark of the chosen item.
std::string HighlightedItem(const std::string& screenWithAttributes) {
    for (std::string text : ReverseTexts(ParseScreen(screenWithAttributes))) {
        if (text.empty() || text[0] == '[')
            continue;
        if (text.rfind("✓ ", 0) == 0)
            text.erase(0, std::string("✓ ").size());
        return text;
    }
    return "";
}

class TerminalViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "the program asks for root rights first; run the tests as root";
        std::setlocale(LC_CTYPE, "C.UTF-8");
        std::string error;
        ASSERT_TRUE(host::MakeDemoHost(Host().string(), &error)) << error;
    }

    void TearDown() override { terminal_.reset(); }

    fs::path Host() const { return folder_.path() / "host"; }

    // Starts the program in an 80×24 terminal and waits for its window. When
    // the program ends, the shell shows its exit status and the terminal's
    // line modes.
    TmuxTerminal& Start(const std::string& waitFor = "Choose a drive") {
        std::string command =
            ShellQuote(kProgram) +
            "; echo \"exit=$?\"; echo \"modes: $(stty -a | tr -s ' ;' '\\n\\n' | grep -x -E "
            "-e '-?(icanon|echo|isig|ixon|icrnl|opost)' | tr '\\n' ' ')\"; exec sleep 600";
        terminal_ = std::make_unique<TmuxTerminal>(
            command, std::map<std::string, std::string>{{"CAPEXT_HOST", Host().string()},
                                                        {"SHELL", "/bin/sh"}});
        terminal_->WaitForText(waitFor);
        // The first screen may be read while it is still being drawn: wait
        // until two readings agree.
        std::string previous;
        terminal_->WaitFor(
            [&](const std::string& s) {
                const bool settled = s == previous;
                previous = s;
                return settled;
            },
            "the first screen to settle", true);
        return *terminal_;
    }

    // Waits for the program to end; answers its exit status as the shell
    // gives it, and checks that the terminal is as the shell left it: line
    // modes back, the program's screen gone.
    int WaitForEnd() {
        std::string screen = terminal_->WaitFor(
            [](const std::string& s) { return Contains(s, "modes: "); }, "the program's end");
        std::smatch exit;
        if (!std::regex_search(screen, exit, std::regex("exit=([0-9]+)")))
            return -1;
        std::smatch modes;
        EXPECT_TRUE(std::regex_search(screen, modes, std::regex("modes: ([^\n]*)")));
        for (const char* mode : {"icanon", "echo", "isig", "ixon", "icrnl", "opost"}) {
            EXPECT_TRUE(std::regex_search(modes[1].str(),
                                          std::regex(std::string("(^| )") + mode + "( |$)")))
                << mode << " is not back on: " << modes[1];
        }
        EXPECT_FALSE(Contains(screen, "┌")) << "the program's screen is still shown:\n" << screen;
        return std::stoi(exit[1]);
    }

    // Opens the drive popup (it has the focus) and checks its list: every
    // drive, the chosen item highlighted.
    void OpenDriveList(const std::string& highlighted) {
        TmuxTerminal& t = *terminal_;
        t.Keys({"Enter"});
        // Wait for the whole list: the terminal may be read while the
        // program is still drawing it.
        std::string screen = t.WaitFor(
            [](const std::string& s) {
                return Contains(s, "Esc Cancel") &&
                       std::all_of(kListedDrives.begin(), kListedDrives.end(),
                                   [&](const std::string& drive) { return Contains(s, drive); });
            },
            "the drive list");
        EXPECT_FALSE(Contains(screen, kUnlistedDrive));
        t.WaitFor([&](const std::string& s) { return HighlightedItem(s) == highlighted; },
                  "the highlight on " + highlighted, true);
    }

    // Moves the highlight down to the item, checking that each Down goes to
    // the next item (over the separator), and chooses it.
    void ChooseFromList(const std::string& item) {
        TmuxTerminal& t = *terminal_;
        std::vector<std::string> items = {"Choose a drive"};
        items.insert(items.end(), kListedDrives.begin(), kListedDrives.end());
        auto at = std::find(items.begin(), items.end(), HighlightedItem(t.Screen(true)));
        auto target = std::find(items.begin(), items.end(), item);
        ASSERT_TRUE(at != items.end() && target != items.end() && at <= target);
        while (at != target) {
            ++at;
            t.Keys({"Down"});
            t.WaitFor([&](const std::string& s) { return HighlightedItem(s) == *at; },
                      "the highlight on " + *at, true);
        }
        t.Keys({"Enter"});
    }

    TempFolder folder_;
    std::unique_ptr<TmuxTerminal> terminal_;
};

TEST_F(TerminalViewTest, ChoosingTheWorkedExampleDriveAndPressingExtendExtendsItsMap) {
    const fs::path image = Host() / "disks/disk1.img";
    const UInt32 driveBlocks = static_cast<UInt32>(fs::file_size(image) / 512);
    const MapImage before = ReadMapImage(image.string());
    const UInt32 entries = before.slot(1).pmMapBlkCnt();
    const UInt32 freeStart = before.slot(entries).pmPyPartStart();
    ASSERT_EQ(before.slot(entries).pmParType(), "Apple_Free");

    TmuxTerminal& t = Start();
    std::string screen = t.Screen(true);
    // The popup has the focus; the button is dimmed until a drive is chosen.
    EXPECT_TRUE(ShownWith(ParseScreen(screen), "[ Choose a drive", Reverse));
    EXPECT_TRUE(ShownWith(ParseScreen(screen), "[ Extend ]", Dim));
    EXPECT_TRUE(Contains(screen, "unknownDevice")) << screen;

    OpenDriveList("Choose a drive");
    ChooseFromList(kWorkedExampleDrive);
    screen = t.WaitForText("ATA Bus 1: Master");
    EXPECT_TRUE(Contains(screen, "149.0 GB")) << screen;
    EXPECT_TRUE(Contains(screen, "[ " + kWorkedExampleDrive)) << screen;
    EXPECT_TRUE(Contains(screen, "Internal")) << "the drive's media icon:\n" << screen;
    EXPECT_TRUE(ShownWith(ParseScreen(t.Screen(true)), "[ Extend ]", Plain));
    EXPECT_EQ(ReadMapImage(image.string()).bytes, before.bytes) << "choosing a drive wrote it";

    t.Keys({"Tab"});
    t.WaitFor([](const std::string& s) { return ShownWith(ParseScreen(s), "[ Extend ]", Reverse); },
              "the focus on the button", true);
    t.Keys({"Enter"});
    screen = t.WaitForText(" Note ");
    std::optional<std::string> alert = BoxText(screen, "Note");
    ASSERT_TRUE(alert) << screen;
    EXPECT_TRUE(Contains(*alert, "A new drive volume has been created with the extra capacity of "
                                 "the drive."))
        << *alert;
    EXPECT_TRUE(Contains(*alert, "Please restart your Macintosh, run Disk Utility and initialize "
                                 "the new volume."))
        << *alert;
    EXPECT_TRUE(Contains(*alert, "[ OK ]")) << *alert;

    // The driver has written the new map before the alert shows.
    const MapImage after = ReadMapImage(image.string());
    EXPECT_EQ(after.descriptor().sbBlkCount(), driveBlocks);
    ASSERT_EQ(after.slot(1).pmMapBlkCnt(), entries + 1);
    const Partition& volume = after.slot(entries);
    EXPECT_EQ(volume.pmParType(), "Apple_HFS");
    EXPECT_EQ(volume.pmPyPartStart(), freeStart);
    EXPECT_EQ(volume.pmPyPartStart() + volume.pmPartBlkCnt(), driveBlocks - 17);
    const Partition& rest = after.slot(entries + 1);
    EXPECT_EQ(rest.pmParType(), "Apple_Free");
    EXPECT_EQ(rest.pmPyPartStart(), driveBlocks - 17);
    EXPECT_EQ(rest.pmPartBlkCnt(), 16u);

    // The program ends after the alert, and gives the terminal back.
    t.Keys({"Enter"});
    EXPECT_EQ(WaitForEnd(), 0);
}

TEST_F(TerminalViewTest, ARefusedDriveShowsTheStopAlertAndThePopupReturnsToItsFirstItem) {
    TmuxTerminal& t = Start();
    OpenDriveList("Choose a drive");
    ChooseFromList(kSmallDrive);
    std::string screen = t.WaitForText(" Error ");
    std::optional<std::string> alert = BoxText(screen, "Error");
    ASSERT_TRUE(alert) << screen;
    EXPECT_TRUE(Contains(*alert, "Please select a drive greater than 128 Gigabytes in size."))
        << *alert;
    EXPECT_TRUE(Contains(*alert, "(!)")) << *alert;
    EXPECT_TRUE(ShownWith(ParseScreen(t.Screen(true)), "Error", Red));

    t.Keys({"Enter"});
    screen =
        t.WaitFor([](const std::string& s) { return !Contains(s, " Error "); }, "the alert to go");
    EXPECT_TRUE(Contains(screen, "[ Choose a drive")) << screen;
    EXPECT_FALSE(Contains(screen, kSmallDrive)) << screen;
    EXPECT_TRUE(ShownWith(ParseScreen(t.Screen(true)), "[ Extend ]", Dim));

    // The list opens on the first item again.
    OpenDriveList("Choose a drive");
    t.Keys({"Escape"});
    t.WaitFor([](const std::string& s) { return !Contains(s, "Esc Cancel"); }, "the list to close");
    t.Keys({"C-q"});
    EXPECT_EQ(WaitForEnd(), 0);
}

TEST_F(TerminalViewTest, AboutShowsTheProgramsNameAndVersionAndCloses) {
    TmuxTerminal& t = Start();
    const std::string aboutTitle = "About Capacity Extender";
    // F10 opens the menu, Enter chooses its first item; Esc closes the box.
    t.Keys({"F10"});
    t.WaitForText("About Capacity Extender…");
    t.Keys({"Enter"});
    std::string screen = t.WaitForText(" " + aboutTitle + " ");
    std::optional<std::string> about = BoxText(screen, aboutTitle);
    ASSERT_TRUE(about) << screen;
    EXPECT_TRUE(Contains(*about, "Capacity Extender")) << *about;
    EXPECT_TRUE(Contains(*about, "Version 1.0.0")) << *about;
    t.Keys({"Escape"});
    t.WaitFor([&](const std::string& s) { return !Contains(s, aboutTitle + " "); },
              "the About box to close");

    // Alt opens the menu too; Enter closes the box.
    t.Keys({"M-a"});
    t.WaitForText("About Capacity Extender…");
    t.Keys({"Enter"});
    t.WaitForText(" " + aboutTitle + " ");
    t.Keys({"Enter"});
    screen = t.WaitFor([&](const std::string& s) { return !Contains(s, aboutTitle + " "); },
                       "the About box to close");
    EXPECT_TRUE(Contains(screen, "[ Choose a drive")) << screen;

    t.Keys({"C-q"});
    EXPECT_EQ(WaitForEnd(), 0);
}

// Every way out gives the terminal back as it was.
TEST_F(TerminalViewTest, EveryWayOutRestoresTheTerminal) {
    struct Case {
        const char* name;
        std::vector<std::string> keys; // none: the process is sent SIGTERM
        int exitStatus;
    };
    const Case cases[] = {
        {"Quit in the menu", {"F10", "Down", "Enter"}, 0},
        {"Ctrl-Q", {"C-q"}, 0},
        {"Ctrl-W", {"C-w"}, 0},
        {"Ctrl-C", {"C-c"}, 128 + SIGINT},
        {"SIGTERM", {}, 128 + SIGTERM},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TmuxTerminal& t = Start();
        if (c.keys.empty()) {
            pid_t program = t.ForegroundChild();
            ASSERT_GT(program, 0);
            kill(program, SIGTERM);
        } else {
            t.Keys(c.keys);
        }
        EXPECT_EQ(WaitForEnd(), c.exitStatus);
    }
}

TEST_F(TerminalViewTest, AnAlertBeforeTheWindowsShowsAndTheTerminalIsGivenBack) {
    std::ofstream(Host() / "System/Library/CoreServices/SystemVersion.plist")
        << R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>ProductVersion</key><string>10.1.5</string></dict></plist>
)";
    TmuxTerminal& t = Start(" Error ");
    std::optional<std::string> alert = BoxText(t.Screen(), "Error");
    ASSERT_TRUE(alert);
    EXPECT_TRUE(Contains(*alert, "Capacity Extender needs Mac OS X 10.2 or later.")) << *alert;
    t.Keys({"Enter"});
    EXPECT_EQ(WaitForEnd(), 0);
}

TEST_F(TerminalViewTest, TheWindowIsDrawnAgainWhenTheTerminalChangesSize) {
    TmuxTerminal& t = Start();
    // The panel's frame stands centred; find its left and right edges.
    auto edges = [](const std::string& screen) {
        std::vector<ScreenLine> lines = ParseScreen(screen);
        for (const ScreenLine& line : lines) {
            auto left =
                std::find_if(line.begin(), line.end(), [](const Cell& c) { return c.text == "┌"; });
            auto right =
                std::find_if(line.begin(), line.end(), [](const Cell& c) { return c.text == "┐"; });
            if (left != line.end() && right != line.end())
                return std::pair<int, int>(left - line.begin(), right - line.begin());
        }
        return std::pair<int, int>(-1, -1);
    };
    for (auto [columns, rows] : {std::pair{120, 40}, std::pair{80, 24}}) {
        t.Resize(columns, rows);
        std::string screen = t.WaitFor(
            [&, columns = columns](const std::string& s) {
                auto [left, right] = edges(s);
                return left >= 0 && std::abs(left - (columns - 1 - right)) <= 1;
            },
            "the panel centred in " + std::to_string(columns) + " columns");
        EXPECT_TRUE(Contains(screen, "[ Choose a drive")) << screen;
        EXPECT_TRUE(Contains(screen, "[ Extend ]")) << screen;
    }
    t.Keys({"C-q"});
    EXPECT_EQ(WaitForEnd(), 0);
}

// Without a terminal it can draw on — a pipe, a script, a terminal that
// cannot move its cursor — the program stays headless.
TEST_F(TerminalViewTest, WithoutATerminalItCanDrawOnTheProgramStaysHeadless) {
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u CAPEXT_VIEW -u CAPEXT_SCRIPT "
                          "CAPEXT_HOST=" +
                          ShellQuote(Host().string()) + " " + ShellQuote(kProgram) +
                          " </dev/null 2>/dev/null";
    FILE* output = popen(command.c_str(), "r");
    ASSERT_NE(output, nullptr);
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, output)) > 0)
        text.append(buffer, n);
    EXPECT_EQ(pclose(output), 0);
    EXPECT_EQ(text.rfind("{\"event\":\"state\"", 0), 0u) << text;

    TmuxTerminal dumb("TERM=dumb " + ShellQuote(kProgram) + "; exec sleep 600",
                      {{"CAPEXT_HOST", Host().string()}, {"SHELL", "/bin/sh"}});
    std::string screen = dumb.WaitForText("{\"event\":\"state\"");
    EXPECT_TRUE(Contains(screen, "cannot drive the terminal (TERM=dumb); going on headless"))
        << screen;
}

} // namespace
} // namespace terminal_test
