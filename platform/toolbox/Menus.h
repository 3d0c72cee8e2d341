// Menus of the toolbox model: the menu bar and the menus of popup buttons.
#pragma once

#include "platform/corefoundation/CoreFoundation.h"
#include "platform/toolbox/ToolboxTypes.h"

typedef UInt32 MenuItemAttributes;

enum : MenuItemAttributes {
    kMenuItemAttrDisabled = 1 << 0,
    kMenuItemAttrSeparator = 1 << 6,
};

// Icon kinds for SetMenuItemIconHandle.
enum : UInt8 {
    kMenuNoIcon = 0,
    kMenuIconSuiteType = 5, // an IconSuiteRef from IconFamilyToIconSuite
    kMenuIconRefType = 6,   // an IconRef
};

enum : OSStatus {
    menuItemNotFoundErr = -5622,
};

// Appends items described with metacharacters, as the classic Menu Manager
// reads them: ';' or a return separates items; '(' disables the item; "-"
// alone makes a separator; '^' (icon), '!' (mark), '<' (style) and '/'
// (command key) each take the character after them as their argument and
// are not shown. Every other byte is item text. Text that may hold these
// characters must be appended with AppendMenuItemTextWithCFString instead.
void AppendMenu(MenuRef menu, ConstStr255Param data);

// Appends exactly one item whose text is inString taken literally (null: an
// empty text). kMenuItemAttrSeparator makes it a separator line,
// kMenuItemAttrDisabled a disabled item. outNewItem may be null.
OSStatus AppendMenuItemTextWithCFString(MenuRef menu, CFStringRef inString,
                                        MenuItemAttributes attributes, MenuCommand commandID,
                                        MenuItemIndex* outNewItem);

UInt16 CountMenuItems(MenuRef menu);
OSStatus GetMenuItemCommandID(MenuRef menu, MenuItemIndex item, MenuCommand* outCommand);
// The caller releases the copy.
OSStatus CopyMenuItemTextAsCFString(MenuRef menu, MenuItemIndex item, CFStringRef* outString);

// Gives an item an icon (kMenuNoIcon with a null handle removes it).
OSErr SetMenuItemIconHandle(MenuRef menu, MenuItemIndex item, UInt8 iconType, Handle iconHandle);

// Shows the current menu bar.
void DrawMenuBar();
