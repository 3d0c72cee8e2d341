// Icon Services: which files register, the registration slots, and icon
// suites on menu items.
#include <filesystem>

#include "platform/toolbox/Controls.h"
#include "platform/toolbox/IconServices.h"
#include "platform/toolbox/Menus.h"
#include "platform/toolbox/ToolboxModel.h"
#include "tests/toolbox/ToolboxFixture.h"

namespace {

class Icons : public ToolboxTest {
  protected:
    void SetUp() override {
        ToolboxTest::SetUp();
        icon_ = dir_ / "drive.icns";
        WriteIconFamily(icon_);
    }
    std::string icon_;
};

TEST_F(Icons, OnlyIconFamiliesRegister) {
    std::filesystem::create_directory(dir_.path() / "folder.icns");
    struct Case {
        const char* what;
        std::string path;
        OSStatus expected;
    } cases[] = {
        {"an icon family", icon_, noErr},
        {"no such file", dir_ / "missing.icns", fnfErr},
        {"a text file", dir_.Write("text.icns", "not an icon at all\n"), invalidIconRefErr},
        {"an empty file", dir_.Write("empty.icns", ""), invalidIconRefErr},
        {"a family without images", dir_.Write("bare.icns", std::string("icns\0\0\0\x08", 8)),
         invalidIconRefErr},
        {"a family cut short", dir_.Write("short.icns", std::string("icns\0\0\0\x20is32", 12)),
         invalidIconRefErr},
        {"an element running past the end",
         dir_.Write("over.icns", std::string("icns\0\0\0\x10is32\0\0\0\x20", 16)),
         invalidIconRefErr},
        {"a folder", dir_ / "folder.icns", invalidIconRefErr},
    };
    for (const Case& c : cases) {
        FSRef ref = MakeFSRef(c.path);
        IconRef icon = reinterpret_cast<IconRef>(1);
        EXPECT_EQ(RegisterIconRefFromFSRef('BETA', 'icn1', &ref, &icon), c.expected) << c.what;
        EXPECT_EQ(icon != nullptr, c.expected == noErr) << c.what;
        IconFamilyHandle family = reinterpret_cast<IconFamilyHandle>(1);
        EXPECT_EQ(ReadIconFromFSRef(&ref, &family), c.expected) << c.what;
        EXPECT_EQ(family != nullptr, c.expected == noErr) << c.what;
    }
}

TEST_F(Icons, RegistrationsAreKeptBySlot) {
    FSRef ref = MakeFSRef(icon_);
    IconRef first = nullptr;
    ASSERT_EQ(RegisterIconRefFromFSRef('BETA', 'icn3', &ref, &first), noErr);
    IconRef found = nullptr;
    ASSERT_EQ(GetIconRef(0, 'BETA', 'icn3', &found), noErr);
    EXPECT_EQ(found, first);
    EXPECT_EQ(GetIconRef(0, 'BETA', 'icn4', &found), noSuchIconErr);

    EXPECT_EQ(UnregisterIconRef('BETA', 'icn3'), noErr);
    EXPECT_EQ(UnregisterIconRef('BETA', 'icn3'), noSuchIconErr);
    EXPECT_EQ(GetIconRef(0, 'BETA', 'icn3', &found), noSuchIconErr);

    // A control still showing the released icon keeps showing its file.
    LoadMainNib();
    ControlRef control = ControlOf(mainWindow_, 'icon', 3);
    ControlButtonContentInfo content{kControlContentIconRef, {first}};
    ASSERT_EQ(
        SetControlData(control, kControlIconPart, kControlIconContentTag, sizeof content, &content),
        noErr);
    for (const auto& window : toolbox::ViewModel().Windows()) {
        for (const auto& shown : window.controls) {
            if (shown.control == control) {
                EXPECT_EQ(shown.iconPath, icon_);
            }
        }
    }
}

TEST_F(Icons, SuitesGiveMenuItemsTheirIconFile) {
    LoadMainNib();
    ControlRef popup = ControlOf(mainWindow_, 'popb', 1);
    MenuRef menu = nullptr;
    GetControlData(popup, 0, kControlPopupButtonMenuHandleTag, sizeof menu, &menu, nullptr);

    FSRef ref = MakeFSRef(icon_);
    IconFamilyHandle family = nullptr;
    ASSERT_EQ(ReadIconFromFSRef(&ref, &family), noErr);
    IconSuiteRef suite = nullptr;
    ASSERT_EQ(IconFamilyToIconSuite(family, kSelectorAllAvailableData, &suite), noErr);
    EXPECT_EQ(IconFamilyToIconSuite(suite, kSelectorAllAvailableData, &suite), paramErr);
    ASSERT_EQ(IconFamilyToIconSuite(family, kSelectorAllAvailableData, &suite), noErr);
    EXPECT_EQ(SetMenuItemIconHandle(menu, 1, kMenuIconSuiteType, family), paramErr);
    ASSERT_EQ(SetMenuItemIconHandle(menu, 1, kMenuIconSuiteType, suite), noErr);

    std::vector<toolbox::WindowInfo> windows = toolbox::ViewModel().Windows();
    for (const auto& window : windows) {
        for (const auto& control : window.controls) {
            if (control.control == popup) {
                EXPECT_EQ(control.menu.items.at(0).iconPath, icon_);
            }
        }
    }
}

} // namespace
