// Menus: appending items (with or without metacharacters), their commands,
// texts and icons.
#include "platform/toolbox/Menus.h"

#include <string_view>

#include "platform/corefoundation/CFHelpers.h"
#include "platform/toolbox/ToolboxModel.h"

namespace {

// Menus are numbered by MenuItemIndex.
constexpr size_t kMaxMenuItems = 0x7FFF;

toolbox::MenuItem* ItemOf(MenuRef menu, MenuItemIndex item) {
    if (menu == nullptr || item == 0 || item > menu->items.size())
        return nullptr;
    return &menu->items[item - 1];
}

// One item of AppendMenu's text, its metacharacters read.
toolbox::MenuItem ParseItem(std::string_view segment) {
    std::string text;
    bool disabled = false;
    for (size_t i = 0; i < segment.size(); ++i) {
        switch (segment[i]) {
        case '(':
            disabled = true;
            break;
        case '^': // icon number
        case '!': // mark character
        case '<': // style
        case '/': // command key
            ++i;  // the argument is not shown
            break;
        default:
            text += segment[i];
        }
    }
    toolbox::MenuItem item;
    if (text == "-")
        item.attributes = kMenuItemAttrSeparator;
    else
        item.text = toolbox::TextFromApplicationBytes(text);
    if (disabled)
        item.attributes |= kMenuItemAttrDisabled;
    return item;
}

} // namespace

void AppendMenu(MenuRef menu, ConstStr255Param data) {
    if (menu == nullptr || data == nullptr)
        return;
    std::string_view rest(reinterpret_cast<const char*>(data + 1), data[0]);
    for (;;) {
        size_t end = rest.find_first_of(";\r");
        if (menu->items.size() < kMaxMenuItems)
            menu->items.push_back(ParseItem(rest.substr(0, end)));
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
    toolbox::NotifyChanged();
}

OSStatus AppendMenuItemTextWithCFString(MenuRef menu, CFStringRef inString,
                                        MenuItemAttributes attributes, MenuCommand commandID,
                                        MenuItemIndex* outNewItem) {
    if (menu == nullptr)
        return paramErr;
    if (menu->items.size() >= kMaxMenuItems)
        return memFullErr;
    toolbox::MenuItem item;
    item.text = inString != nullptr ? toolbox::TextFromCFString(inString) : std::string();
    item.command = commandID;
    item.attributes = attributes;
    menu->items.push_back(std::move(item));
    if (outNewItem != nullptr)
        *outNewItem = static_cast<MenuItemIndex>(menu->items.size());
    toolbox::NotifyChanged();
    return noErr;
}

UInt16 CountMenuItems(MenuRef menu) {
    return menu != nullptr ? static_cast<UInt16>(menu->items.size()) : 0;
}

OSStatus GetMenuItemCommandID(MenuRef menu, MenuItemIndex item, MenuCommand* outCommand) {
    toolbox::MenuItem* found = ItemOf(menu, item);
    if (found == nullptr)
        return menuItemNotFoundErr;
    if (outCommand != nullptr)
        *outCommand = found->command;
    return noErr;
}

OSStatus CopyMenuItemTextAsCFString(MenuRef menu, MenuItemIndex item, CFStringRef* outString) {
    toolbox::MenuItem* found = ItemOf(menu, item);
    if (found == nullptr)
        return menuItemNotFoundErr;
    if (outString == nullptr)
        return paramErr;
    *outString = cf::CreateString(found->text);
    return *outString != nullptr ? noErr : paramErr;
}

OSErr SetMenuItemIconHandle(MenuRef menu, MenuItemIndex item, UInt8 iconType, Handle iconHandle) {
    toolbox::MenuItem* found = ItemOf(menu, item);
    if (found == nullptr)
        return menuItemNotFoundErr;
    switch (iconType) {
    case kMenuNoIcon:
        found->iconPath.reset();
        break;
    case kMenuIconSuiteType: {
        toolbox::IconHandleBlock* suite = toolbox::FindIconHandle(iconHandle);
        if (suite == nullptr || !suite->suite)
            return paramErr;
        found->iconPath = suite->path;
        break;
    }
    case kMenuIconRefType: {
        auto icon = reinterpret_cast<IconRef>(iconHandle);
        if (!toolbox::IsKnownIcon(icon))
            return paramErr;
        found->iconPath = icon->path;
        break;
    }
    default:
        return paramErr;
    }
    toolbox::NotifyChanged();
    return noErr;
}

void DrawMenuBar() {
    toolbox::NotifyChanged();
}
