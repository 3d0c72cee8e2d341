// The headless view: its script lines, its JSON, and a whole scripted run
// against the program's interface file with handlers shaped like the
// program's.
#include <cstdio>
#include <iostream>
#include <sstream>

#include "platform/corefoundation/CoreFoundation.h"
#include "platform/toolbox/CarbonEvents.h"
#include "platform/toolbox/Controls.h"
#include "platform/toolbox/IconServices.h"
#include "platform/toolbox/Menus.h"
#include "platform/toolbox/ProcessManager.h"
#include "platform/toolbox/StandardAlerts.h"
#include "platform/toolbox/Windows.h"
#include "tests/toolbox/ToolboxFixture.h"
#include "views/headless/HeadlessView.h"
#include "views/headless/Json.h"
#include "views/headless/Script.h"

namespace {

using namespace headless;

TEST(HeadlessScript, LinesBecomeActions) {
    EXPECT_TRUE(std::holds_alternative<NoAction>(ParseScriptLine("")));
    EXPECT_TRUE(std::holds_alternative<NoAction>(ParseScriptLine("   \t")));
    EXPECT_TRUE(std::holds_alternative<NoAction>(ParseScriptLine("# select 3")));

    auto select = std::get<SelectAction>(ParseScriptLine("select 3"));
    EXPECT_EQ(select.item, 3);
    auto click = std::get<ClickAction>(ParseScriptLine("  click push 1\r"));
    EXPECT_EQ(click.control.signature, OSType('push'));
    EXPECT_EQ(click.control.id, 1);
    EXPECT_EQ(std::get<ClickAction>(ParseScriptLine("click icon -2")).control.id, -2);
    EXPECT_EQ(std::get<CommandAction>(ParseScriptLine("command abou")).command, OSType('abou'));
    EXPECT_EQ(std::get<CloseAction>(ParseScriptLine("close AboutWindow")).window, "AboutWindow");

    const char* bad[] = {"select",       "select 0",   "select x",    "select 3 4",
                         "select 40000", "click push", "click pus 1", "click push 1x",
                         "command ab",   "close",      "close a b",   "press push 1",
                         "SELECT 3"};
    for (const char* line : bad)
        EXPECT_TRUE(std::holds_alternative<BadAction>(ParseScriptLine(line))) << line;
}

TEST(HeadlessJson, StringsAreEscaped) {
    struct Case {
        std::string text;
        std::string json;
    } cases[] = {
        {"plain", "\"plain\""},
        {"a \"quoted\" \\ path", "\"a \\\"quoted\\\" \\\\ path\""},
        {"line\nbreak\ttab\r", "\"line\\nbreak\\ttab\\r\""},
        {std::string("nul\0bell\x07", 9), "\"nul\\u0000bell\\u0007\""},
        {"caf\xC3\xA9 \xE2\x80\xA6", "\"caf\xC3\xA9 \xE2\x80\xA6\""},
        {"bad \xFF byte \xC3", "\"bad \\ufffd byte \\ufffd\""},
        {"overlong \xC0\xAF", "\"overlong \\ufffd\\ufffd\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JsonString(c.text), c.json) << c.json;
    EXPECT_EQ(JsonStringOrNull(std::nullopt), "null");
}

TEST(HeadlessJson, AlertLinesShowKindTitleAndTexts) {
    toolbox::AlertInfo alert;
    alert.type = 0;
    alert.title = "Error";
    alert.message = "No valid partition map found.";
    EXPECT_EQ(HeadlessView::AlertLine(alert),
              "{\"event\":\"alert\",\"kind\":0,\"title\":\"Error\","
              "\"message\":\"No valid partition map found.\",\"secondary\":null}");
    alert.type = 1;
    alert.title = "Note";
    alert.message = "Done \"now\".";
    alert.secondary = "Restart.";
    EXPECT_EQ(HeadlessView::AlertLine(alert),
              "{\"event\":\"alert\",\"kind\":1,\"title\":\"Note\","
              "\"message\":\"Done \\\"now\\\".\",\"secondary\":\"Restart.\"}");
}

// Handlers that behave as the program's do, without its drives: About shows
// the About window, a popup hit writes the chosen item into ('stxt', 1) and
// raises an alert for item 1, the push button writes ('stxt', 2), closing
// the main window ends the loop.
WindowRef gTestMain = nullptr;
WindowRef gTestAbout = nullptr;
bool gExitOnPush = false;

void SetText(SInt32 id, const std::string& text) {
    SetControlData(ControlOf(gTestMain, 'stxt', id), 0, kControlStaticTextTextTag,
                   static_cast<Size>(text.size()), text.data());
}

OSStatus AppHandler(EventHandlerCallRef, EventRef event, void*) {
    HICommand command{};
    GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command,
                      nullptr, &command);
    if (command.commandID != kHICommandAbout)
        return eventNotHandledErr;
    ShowWindow(gTestAbout);
    SelectWindow(gTestAbout);
    return noErr;
}

OSStatus MainHandler(EventHandlerCallRef, EventRef event, void*) {
    if (GetEventClass(event) == kEventClassWindow) {
        QuitApplicationEventLoop();
        return noErr;
    }
    ControlRef control = nullptr;
    GetEventParameter(event, kEventParamDirectObject, typeControlRef, nullptr, sizeof control,
                      nullptr, &control);
    ControlKind kind{};
    GetControlKind(control, &kind);
    if (kind.kind == kControlKindPushButton) {
        SetText(2, "pushed");
        if (gExitOnPush)
            ExitToShell();
        return noErr;
    }
    SInt16 value = GetControlValue(control);
    SetText(1, "item " + std::to_string(value));
    if (value == 1) {
        DialogRef alert = nullptr;
        CreateStandardAlert(kAlertStopAlert, CFSTR("Choose a \"drive\"."), nullptr, nullptr,
                            &alert);
        SetWindowTitleWithCFString(GetDialogWindow(alert), CFSTR("Error"));
        RunStandardAlert(alert, nullptr, nullptr);
    }
    return noErr;
}

class HeadlessRun : public ToolboxTest {
  protected:
    void SetUp() override {
        ToolboxTest::SetUp();
        LoadMainNib();
        gTestMain = mainWindow_;
        gTestAbout = aboutWindow_;
        gExitOnPush = false;
        ShowWindow(mainWindow_);
        DeactivateControl(ControlOf(mainWindow_, 'push', 1));

        const EventTypeSpec appEvents[] = {{kEventClassCommand, kEventCommandProcess}};
        const EventTypeSpec mainEvents[] = {{kEventClassWindow, kEventWindowClose},
                                            {kEventClassControl, kEventControlHit}};
        InstallEventHandler(GetApplicationEventTarget(), AppHandler, 1, appEvents, nullptr,
                            nullptr);
        InstallEventHandler(GetWindowEventTarget(mainWindow_), MainHandler, 2, mainEvents, nullptr,
                            nullptr);

        // The popup as the program fills it: a separator, then a drive with its icon.
        icon_ = dir_ / "drive.icns";
        WriteIconFamily(icon_);
        ControlRef popup = ControlOf(mainWindow_, 'popb', 1);
        MenuRef menu = nullptr;
        GetControlData(popup, 0, kControlPopupButtonMenuHandleTag, sizeof menu, &menu, nullptr);
        AppendMenuItemTextWithCFString(menu, nullptr, kMenuItemAttrSeparator, 1, nullptr);
        AppendMenuItemTextWithCFString(menu, CFSTR("Disk; A"), 0, 0, nullptr);
        SetControlMaximum(popup, 3);
        FSRef ref = MakeFSRef(icon_);
        IconFamilyHandle family = nullptr;
        IconSuiteRef suite = nullptr;
        ReadIconFromFSRef(&ref, &family);
        IconFamilyToIconSuite(family, kSelectorAllAvailableData, &suite);
        SetMenuItemIconHandle(menu, 3, kMenuIconSuiteType, suite);
        IconRef icon = nullptr;
        RegisterIconRefFromFSRef('BETA', 'icn3', &ref, &icon);
        ControlButtonContentInfo content{kControlContentIconRef, {icon}};
        SetControlData(ControlOf(mainWindow_, 'icon', 3), kControlIconPart, kControlIconContentTag,
                       sizeof content, &content);
    }

    std::string State(int value, const std::string& stxt1, const std::string& stxt2, bool push,
                      bool about) {
        return "{\"event\":\"state\",\"popup\":{\"value\":" + std::to_string(value) +
               ",\"items\":[{\"text\":\"Choose a drive\",\"icon\":null,\"separator\":false},"
               "{\"text\":\"\",\"icon\":null,\"separator\":true},"
               "{\"text\":\"Disk; A\",\"icon\":" +
               JsonString(icon_) + ",\"separator\":false}]},\"stxt1\":" + JsonString(stxt1) +
               ",\"stxt2\":" + JsonString(stxt2) + ",\"icon3\":" + JsonString(icon_) +
               ",\"push1\":{\"active\":" + (push ? "true" : "false") +
               "},\"about\":{\"visible\":" + (about ? "true" : "false") + "}}\n";
    }

    std::string icon_;
};

TEST_F(HeadlessRun, WritesAStateAfterEachActionAndClosesTheMainWindowAtTheEnd) {
    std::istringstream script("# choose the drive, then the first item\n"
                              "\n"
                              "select 3\n"
                              "select 2\n"
                              "select 1\n"
                              "click push 1\n"
                              "command abou\n"
                              "bogus\n"
                              "close AboutWindow\n");
    std::ostringstream out, err;
    toolbox::SetToolboxView(std::make_unique<HeadlessView>(script, out, err));
    RunApplicationEventLoop();

    EXPECT_EQ(out.str(), State(1, "", "", false, false) +           // the loop starts
                             State(3, "item 3", "", false, false) + // select 3
                             State(3, "item 3", "", false, false) + // select 2: a separator
                             "{\"event\":\"alert\",\"kind\":0,\"title\":\"Error\","
                             "\"message\":\"Choose a \\\"drive\\\".\",\"secondary\":null}\n" +
                             State(1, "item 1", "", false, false) + // select 1
                             State(1, "item 1", "", false, false) + // click on the inactive button
                             State(1, "item 1", "", false, true) +  // command abou
                             State(1, "item 1", "", false, false)); // close AboutWindow
    EXPECT_EQ(err.str(), "headless: line 4: item 2 of the drive popup cannot be chosen\n"
                         "headless: line 8: unknown action: bogus\n");
    // The main window's close reached its handler, which ended the loop.
    EXPECT_TRUE(IsWindowVisible(mainWindow_));
}

TEST_F(HeadlessRun, ReportsActionsThatFindNothingAndGoesOn) {
    std::istringstream script("select 9\nclick push 7\ncommand zzzz\nclose Nowhere\n"
                              "close MainWindow\nselect 3\n");
    std::ostringstream out, err;
    toolbox::SetToolboxView(std::make_unique<HeadlessView>(script, out, err));
    RunApplicationEventLoop();

    std::string initial = State(1, "", "", false, false);
    // Five actions, each with its state; the loop ends at the close and the
    // last line is never read.
    std::string expected;
    for (int i = 0; i < 6; ++i)
        expected += initial;
    EXPECT_EQ(out.str(), expected);
    EXPECT_EQ(err.str(), "headless: line 1: the drive popup has no item 9\n"
                         "headless: line 2: the main window has no control push 7\n"
                         "headless: line 3: no menu item has the command zzzz\n"
                         "headless: line 4: there is no window Nowhere\n");
}

TEST_F(HeadlessRun, StillWritesTheStateWhenAnActionEndsTheProcess) {
    gExitOnPush = true;
    ActivateControl(ControlOf(mainWindow_, 'push', 1));
    std::istringstream script("click push 1\nselect 3\n");
    // Death tests see only the error stream, so the view writes its lines there.
    toolbox::SetToolboxView(std::make_unique<HeadlessView>(script, std::cerr, std::cerr));
    EXPECT_EXIT(RunApplicationEventLoop(), ::testing::ExitedWithCode(0),
                "\"stxt2\":\"pushed\",\"icon3\"[^\n]*\n$");
}

} // namespace
