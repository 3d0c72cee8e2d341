// The interface file loader, on the program's own file and on broken ones.
#include <algorithm>
#include <string>

#include "platform/corefoundation/CoreFoundation.h"
#include "platform/toolbox/Controls.h"
#include "platform/toolbox/Menus.h"
#include "platform/toolbox/Nibs.h"
#include "platform/toolbox/ToolboxModel.h"
#include "platform/toolbox/Windows.h"
#include "tests/toolbox/ToolboxFixture.h"

namespace {

class Nibs : public ToolboxTest {};

const toolbox::WindowInfo* Find(const std::vector<toolbox::WindowInfo>& windows,
                                const std::string& name) {
    for (const auto& window : windows) {
        if (window.name == name)
            return &window;
    }
    return nullptr;
}

TEST_F(Nibs, TheProgramsFileHoldsItsMenuBarAndWindows) {
    LoadMainNib();
    EXPECT_FALSE(IsWindowVisible(mainWindow_));
    EXPECT_FALSE(IsWindowVisible(aboutWindow_));

    std::vector<MenuCommand> commands;
    for (const auto& menu : toolbox::ViewModel().MenuBar()) {
        for (const auto& item : menu.items)
            commands.push_back(item.command);
    }
    EXPECT_NE(std::find(commands.begin(), commands.end(), 'abou'), commands.end());
    EXPECT_NE(std::find(commands.begin(), commands.end(), 'quit'), commands.end());

    struct Expected {
        WindowRef window;
        OSType signature;
        SInt32 id;
        OSType kind;
    } expected[] = {
        {mainWindow_, 'stxt', 1, kControlKindStaticText},
        {mainWindow_, 'stxt', 2, kControlKindStaticText},
        {mainWindow_, 'icon', 2, kControlKindIcon},
        {mainWindow_, 'icon', 3, kControlKindIcon},
        {mainWindow_, 'icon', 4, kControlKindIcon},
        {mainWindow_, 'popb', 1, kControlKindPopupButton},
        {mainWindow_, 'push', 1, kControlKindPushButton},
        {aboutWindow_, 'icon', 1, kControlKindIcon},
    };
    for (const Expected& e : expected) {
        ControlRef control = ControlOf(e.window, e.signature, e.id);
        ASSERT_NE(control, nullptr) << e.id;
        ControlKind kind{};
        GetControlKind(control, &kind);
        EXPECT_EQ(kind.kind, e.kind) << e.id;
    }

    std::vector<toolbox::WindowInfo> windows = toolbox::ViewModel().Windows();
    const toolbox::WindowInfo* main = Find(windows, "MainWindow");
    ASSERT_NE(main, nullptr);
    for (const auto& control : main->controls) {
        if (control.kind == kControlKindPopupButton) {
            ASSERT_EQ(control.menu.items.size(), 1u);
            EXPECT_EQ(control.menu.items[0].text, "Choose a drive");
            EXPECT_EQ(control.value, 1);
        }
        if (control.kind == kControlKindPushButton) {
            EXPECT_EQ(control.title, "Extend");
        }
    }
    const toolbox::WindowInfo* about = Find(windows, "AboutWindow");
    ASSERT_NE(about, nullptr);
    std::string texts;
    for (const auto& control : about->controls)
        texts += control.text + "\n";
    EXPECT_NE(texts.find("Capacity Extender"), std::string::npos);
    EXPECT_NE(texts.find("Version 1.0.0"), std::string::npos);
}

TEST_F(Nibs, AreRefusedWhenMissingOrNotADictionary) {
    IBNibRef nib = nullptr;
    std::string missing = dir_ / "missing.nib";
    EXPECT_EQ(CreateNibReferenceFromFile(missing.c_str(), &nib), kIBCarbonRuntimeCantFindNibFile);
    std::string array = dir_.Write("array.nib", "<plist version=\"1.0\"><array/></plist>");
    EXPECT_EQ(CreateNibReferenceFromFile(array.c_str(), &nib), kIBCarbonRuntimeCantFindNibFile);
    std::string broken = dir_.Write("broken.nib", "<plist version=\"1.0\"><dict>");
    EXPECT_EQ(CreateNibReferenceFromFile(broken.c_str(), &nib), kIBCarbonRuntimeCantFindNibFile);
    EXPECT_EQ(nib, nullptr);
}

TEST_F(Nibs, MakeNoWindowOfAMissingOrBrokenDescription) {
    const std::string good = "<dict><key>Kind</key><string>push</string>"
                             "<key>Signature</key><string>push</string></dict>";
    struct Case {
        const char* what;
        std::string control;
        OSStatus expected;
    } cases[] = {
        {"a good control", good, noErr},
        {"no kind", "<dict><key>Signature</key><string>push</string></dict>",
         kIBCarbonRuntimeObjectNotOfRequestedType},
        {"an unknown kind",
         "<dict><key>Kind</key><string>slid</string><key>Signature</key><string>s</string></dict>",
         kIBCarbonRuntimeObjectNotOfRequestedType},
        {"a signature of three characters",
         "<dict><key>Kind</key><string>push</string><key>Signature</key><string>pus</string></"
         "dict>",
         kIBCarbonRuntimeObjectNotOfRequestedType},
        {"bounds of three numbers",
         "<dict><key>Kind</key><string>push</string><key>Signature</key><string>push</string>"
         "<key>Bounds</key><array><integer>1</integer><integer>2</integer><integer>3</integer>"
         "</array></dict>",
         kIBCarbonRuntimeObjectNotOfRequestedType},
        {"an ID that is text",
         "<dict><key>Kind</key><string>push</string><key>Signature</key><string>push</string>"
         "<key>ID</key><string>1</string></dict>",
         kIBCarbonRuntimeObjectNotOfRequestedType},
    };
    for (const Case& c : cases) {
        toolbox::ResetToolbox();
        IBNibRef nib =
            LoadNib("<key>Windows</key><dict><key>W</key><dict><key>Controls</key><array>" +
                    c.control + "</array></dict></dict>");
        WindowRef window = reinterpret_cast<WindowRef>(1);
        EXPECT_EQ(CreateWindowFromNib(nib, CFSTR("W"), &window), c.expected) << c.what;
        EXPECT_EQ(window != nullptr, c.expected == noErr) << c.what;
        EXPECT_EQ(toolbox::ViewModel().Windows().size(), c.expected == noErr ? 1u : 0u) << c.what;
    }

    IBNibRef nib = LoadNib("<key>Windows</key><dict/>");
    WindowRef window = nullptr;
    EXPECT_EQ(CreateWindowFromNib(nib, CFSTR("MainWindow"), &window),
              kIBCarbonRuntimeCantFindObject);
    EXPECT_EQ(SetMenuBarFromNib(nib, CFSTR("MainMenu")), kIBCarbonRuntimeCantFindObject);
}

} // namespace
