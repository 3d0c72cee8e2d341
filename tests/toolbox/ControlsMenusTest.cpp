// Control data under each tag, value ranges, and the numbering of menu items.
#include <cstring>
#include <string>

#include "platform/corefoundation/CoreFoundation.h"
#include "platform/toolbox/Controls.h"
#include "platform/toolbox/Menus.h"
#include "platform/toolbox/ToolboxModel.h"
#include "tests/toolbox/ToolboxFixture.h"

namespace {

class Controls : public ToolboxTest {
  protected:
    void SetUp() override {
        ToolboxTest::SetUp();
        LoadMainNib();
    }
};

TEST_F(Controls, AreFoundByIDWithTheirKind) {
    ControlID id{'stxt', 2};
    ControlRef control = nullptr;
    ASSERT_EQ(GetControlByID(mainWindow_, &id, &control), noErr);
    ControlKind kind{};
    ASSERT_EQ(GetControlKind(control, &kind), noErr);
    EXPECT_EQ(kind.kind, kControlKindStaticText);
    ControlID read{};
    ASSERT_EQ(GetControlID(control, &read), noErr);
    EXPECT_EQ(read.signature, OSType('stxt'));
    EXPECT_EQ(read.id, 2);
    EXPECT_EQ(GetControlOwner(control), mainWindow_);

    id = ControlID{'stxt', 9};
    EXPECT_EQ(GetControlByID(mainWindow_, &id, &control), errUnknownControl);
    EXPECT_EQ(control, nullptr);
}

TEST_F(Controls, KeepDataOnlyUnderTheirTagsAndSizes) {
    ControlRef text = ControlOf(mainWindow_, 'stxt', 1);
    ControlRef icon = ControlOf(mainWindow_, 'icon', 3);
    ControlRef popup = ControlOf(mainWindow_, 'popb', 1);
    ControlRef push = ControlOf(mainWindow_, 'push', 1);
    ControlButtonContentInfo content{kControlContentIconRef, {}};
    MenuRef menu = nullptr;
    struct Case {
        const char* what;
        ControlRef control;
        ControlPartCode part;
        ResType tag;
        Size size;
        const void* data;
        OSErr expected;
    } cases[] = {
        {"text", text, 0, kControlStaticTextTextTag, 3, "abc", noErr},
        {"empty text", text, 0, kControlStaticTextTextTag, 0, "", noErr},
        {"icon on part 7", icon, kControlIconPart, kControlIconContentTag, sizeof content, &content,
         noErr},
        {"icon, short", icon, kControlIconPart, kControlIconContentTag, sizeof content - 1,
         &content, errDataSizeMismatch},
        {"icon on another part", icon, 3, kControlIconContentTag, sizeof content, &content,
         errInvalidPartCode},
        {"text on an icon", icon, 0, kControlStaticTextTextTag, 3, "abc", errDataNotSupported},
        {"icon on a text", text, 0, kControlIconContentTag, sizeof content, &content,
         errDataNotSupported},
        {"text on a push button", push, 0, kControlStaticTextTextTag, 3, "abc",
         errDataNotSupported},
        {"menu of a popup", popup, 0, kControlPopupButtonMenuHandleTag, sizeof menu, &menu,
         errDataNotSupported},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SetControlData(c.control, c.part, c.tag, c.size, c.data), c.expected) << c.what;
}

TEST_F(Controls, GiveBackWhatWasSet) {
    ControlRef text = ControlOf(mainWindow_, 'stxt', 1);
    ASSERT_EQ(SetControlData(text, 0, kControlStaticTextTextTag, 5, "Bus 1"), noErr);
    char buffer[8] = {};
    Size size = 0;
    ASSERT_EQ(GetControlData(text, 0, kControlStaticTextTextTag, 3, buffer, &size), noErr);
    EXPECT_EQ(size, 5); // the whole length, while only 3 bytes were copied
    EXPECT_STREQ(buffer, "Bus");

    // A null icon reference is set as it is; one Icon Services never made is refused.
    ControlRef icon = ControlOf(mainWindow_, 'icon', 3);
    ControlButtonContentInfo content{kControlContentIconRef, {nullptr}};
    ASSERT_EQ(
        SetControlData(icon, kControlIconPart, kControlIconContentTag, sizeof content, &content),
        noErr);
    ControlButtonContentInfo read{0, {reinterpret_cast<IconRef>(1)}};
    ASSERT_EQ(
        GetControlData(icon, kControlIconPart, kControlIconContentTag, sizeof read, &read, nullptr),
        noErr);
    EXPECT_EQ(read.contentType, kControlContentIconRef);
    EXPECT_EQ(read.u.iconRef, nullptr);
    content.u.iconRef = reinterpret_cast<IconRef>(0x1234);
    EXPECT_EQ(
        SetControlData(icon, kControlIconPart, kControlIconContentTag, sizeof content, &content),
        paramErr);

    ControlRef popup = ControlOf(mainWindow_, 'popb', 1);
    MenuRef menu = nullptr;
    ASSERT_EQ(
        GetControlData(popup, 0, kControlPopupButtonMenuHandleTag, sizeof menu, &menu, nullptr),
        noErr);
    EXPECT_EQ(CountMenuItems(menu), 1);
    EXPECT_EQ(GetControlData(popup, 0, kControlPopupButtonMenuHandleTag, 4, &menu, nullptr),
              errDataSizeMismatch);
}

TEST_F(Controls, KeepTheirValueWithinMinimumAndMaximum) {
    ControlRef popup = ControlOf(mainWindow_, 'popb', 1);
    EXPECT_EQ(GetControlValue(popup), 1);
    EXPECT_EQ(GetControlMaximum(popup), 1);
    SetControlValue(popup, 3);
    EXPECT_EQ(GetControlValue(popup), 1);
    SetControlMaximum(popup, 5);
    SetControlValue(popup, 3);
    EXPECT_EQ(GetControlValue(popup), 3);
    SetControlMaximum(popup, 2);
    EXPECT_EQ(GetControlValue(popup), 2);
    SetControlValue(popup, 0);
    EXPECT_EQ(GetControlValue(popup), 1);
}

TEST_F(Controls, AreActivatedAndDeactivated) {
    ControlRef push = ControlOf(mainWindow_, 'push', 1);
    EXPECT_TRUE(IsControlActive(push));
    EXPECT_EQ(DeactivateControl(push), noErr);
    EXPECT_FALSE(IsControlActive(push));
    EXPECT_EQ(ActivateControl(push), noErr);
    EXPECT_TRUE(IsControlActive(push));
}

class Menus : public Controls {
  protected:
    void SetUp() override {
        Controls::SetUp();
        ControlRef popup = ControlOf(mainWindow_, 'popb', 1);
        ASSERT_EQ(GetControlData(popup, 0, kControlPopupButtonMenuHandleTag, sizeof menu_, &menu_,
                                 nullptr),
                  noErr);
    }

    std::string TextOf(MenuItemIndex item) {
        CFStringRef text = nullptr;
        if (CopyMenuItemTextAsCFString(menu_, item, &text) != noErr)
            return "<none>";
        char buffer[256];
        CFStringGetCString(text, buffer, sizeof buffer, kCFStringEncodingUTF8);
        CFRelease(text);
        return buffer;
    }

    toolbox::MenuItemInfo SnapshotOf(MenuItemIndex item) {
        for (const auto& window : toolbox::ViewModel().Windows()) {
            for (const auto& control : window.controls) {
                if (control.menu.menu == menu_)
                    return control.menu.items.at(item - 1);
            }
        }
        return {};
    }

    MenuRef menu_ = nullptr;
};

TEST_F(Menus, AppendMenuReadsMetacharacters) {
    struct Case {
        const char* data;
        std::vector<std::string> texts;
    } cases[] = {
        {"Alpha", {"Alpha"}},    {"One;Two\rThree", {"One", "Two", "Three"}},
        {"Disk/D", {"Disk"}},    {"Mark!x<B^1", {"Mark"}},
        {"(Dimmed", {"Dimmed"}},
    };
    MenuItemIndex next = 2;
    for (const Case& c : cases) {
        Str255 pascal;
        CopyCStringToPascal(c.data, pascal);
        AppendMenu(menu_, pascal);
        for (const std::string& text : c.texts)
            EXPECT_EQ(TextOf(next++), text) << c.data;
    }
    EXPECT_EQ(CountMenuItems(menu_), next - 1);
    EXPECT_FALSE(SnapshotOf(next - 1).enabled); // "(Dimmed"

    Str255 dash;
    CopyCStringToPascal("-", dash);
    AppendMenu(menu_, dash);
    EXPECT_TRUE(SnapshotOf(next).separator);
}

TEST_F(Menus, TextWithCFStringAddsExactlyOneLiteralItem) {
    MenuItemIndex separator = 0;
    ASSERT_EQ(AppendMenuItemTextWithCFString(menu_, nullptr, kMenuItemAttrSeparator, 1, &separator),
              noErr);
    EXPECT_EQ(separator, 2);
    EXPECT_TRUE(SnapshotOf(2).separator);
    MenuCommand command = 0;
    ASSERT_EQ(GetMenuItemCommandID(menu_, 2, &command), noErr);
    EXPECT_EQ(command, 1u);

    const char* names[] = {"Maxtor 6Y250P0", "Odd; (name) /x^!<-", "-"};
    for (const char* name : names) {
        MenuItemIndex item = 0;
        CFStringRef text = CFStringCreateWithCString(nullptr, name, kCFStringEncodingUTF8);
        ASSERT_EQ(AppendMenuItemTextWithCFString(menu_, text, 0, 0, &item), noErr);
        CFRelease(text);
        EXPECT_EQ(TextOf(item), name);
        EXPECT_FALSE(SnapshotOf(item).separator) << name;
        EXPECT_TRUE(SnapshotOf(item).enabled) << name;
    }
    // Item 1 from the file, the separator, then one item per name.
    EXPECT_EQ(CountMenuItems(menu_), 5);
    EXPECT_EQ(TextOf(3), "Maxtor 6Y250P0");
    EXPECT_EQ(TextOf(6), "<none>");
}

TEST_F(Menus, ItemIconsNeedAnItemAndAnIconSuite) {
    Handle notASuite = nullptr;
    EXPECT_EQ(SetMenuItemIconHandle(menu_, 2, kMenuIconSuiteType, notASuite), menuItemNotFoundErr);
    EXPECT_EQ(SetMenuItemIconHandle(menu_, 1, kMenuIconSuiteType, notASuite), paramErr);
    EXPECT_EQ(SetMenuItemIconHandle(menu_, 1, kMenuNoIcon, nullptr), noErr);
    EXPECT_FALSE(SnapshotOf(1).iconPath.has_value());
}

} // namespace
