#include "app/ControlHelpers.h"

#include "app/Windows.h"
#include "platform/corefoundation/CoreFoundation.h"
#include "platform/toolbox/Controls.h"
#include "platform/toolbox/IconServices.h"
#include "platform/toolbox/Menus.h"

#include <cstring>

IconRef gUnknownDriveIconRef = nullptr;
IconRef gCurrentDriveIconRef = nullptr;
IconRef gUnknownVolumeIconRef = nullptr;

namespace {

// The file reference of an icon file, or false when the file does not exist.
// A relative path is taken from the current folder.
bool IconFileRef(const char* path, FSRef* file) {
    CFURLRef url = CFURLCreateFromFileSystemRepresentation(
        kCFAllocatorDefault, reinterpret_cast<const UInt8*>(path),
        static_cast<CFIndex>(std::strlen(path)), false);
    if (!url)
        return false;
    bool exists = CFURLGetFSRef(url, file);
    CFRelease(url);
    return exists;
}

} // namespace

OSStatus GetThisWindowControlRef(WindowRef window, OSType signature, SInt32 number,
                                 ControlRef* outControl) {
    ControlID id{signature, number};
    return GetControlByID(window, &id, outControl);
}

OSStatus GetMainWindowControlRef(OSType signature, SInt16 number, ControlRef* outControl) {
    return GetThisWindowControlRef(gMainWindow, signature, number, outControl);
}

OSErr GetMenuFromThisPopupRef(ControlRef popup, MenuRef* outMenu) {
    return GetControlData(popup, kControlEntireControl, kControlPopupButtonMenuHandleTag,
                          sizeof(MenuRef), outMenu, nullptr);
}

void TurnOnControl(OSType signature, SInt16 number) {
    ControlRef control = nullptr;
    if (GetMainWindowControlRef(signature, number, &control) != noErr)
        return;
    ActivateControl(control);
    Draw1Control(control);
}

void TurnOffControl(OSType signature, SInt16 number) {
    ControlRef control = nullptr;
    if (GetMainWindowControlRef(signature, number, &control) != noErr)
        return;
    DeactivateControl(control);
    Draw1Control(control);
}

namespace {

void SetStatText(WindowRef window, SInt16 number, const void* text, Size length) {
    ControlRef control = nullptr;
    if (GetThisWindowControlRef(window, kControlKindStaticText, number, &control) != noErr)
        return;
    SetControlData(control, kControlEntireControl, kControlStaticTextTextTag, length, text);
    Draw1Control(control);
}

// The popup button (kControlKindPopupButton, number) of the window and its menu.
OSStatus GetPopupAndMenu(WindowRef window, SInt16 number, ControlRef* outPopup, MenuRef* outMenu) {
    OSStatus status = GetThisWindowControlRef(window, kControlKindPopupButton, number, outPopup);
    if (status != noErr)
        return status;
    return GetMenuFromThisPopupRef(*outPopup, outMenu);
}

} // namespace

void SetStatTextControlWCStr(WindowRef window, SInt16 number, const char* text) {
    SetStatText(window, number, text, static_cast<Size>(std::strlen(text)));
}

void SetStatTextControlWPStr(WindowRef window, SInt16 number, ConstStr255Param text) {
    SetStatText(window, number, text + 1, text[0]);
}

OSStatus RegisterThisIconID(const char* path, OSType type, OSType creator, IconRef* outIcon) {
    *outIcon = nullptr;
    FSRef file;
    if (!IconFileRef(path, &file))
        return noSuchIconErr;
    return RegisterIconRefFromFSRef(creator, type, &file, outIcon);
}

void SetNewIconRef(WindowRef window, IconRef icon, SInt16 number) {
    ControlRef control = nullptr;
    if (GetThisWindowControlRef(window, kControlKindIcon, number, &control) != noErr)
        return;
    ControlButtonContentInfo content{};
    content.contentType = kControlContentIconRef;
    content.u.iconRef = icon;
    if (SetControlData(control, kControlIconPart, kControlIconContentTag, sizeof content,
                       &content) == noErr)
        Draw1Control(control);
}

void UnregisterDriveIcons() {
    if (gUnknownDriveIconRef) {
        UnregisterIconRef(kIconCreator, kDriveIconSlot);
        gUnknownDriveIconRef = nullptr;
    } else if (gCurrentDriveIconRef) {
        UnregisterIconRef(kIconCreator, kDriveIconSlot);
        gCurrentDriveIconRef = nullptr;
    }
}

OSStatus AppendPopupWithDriveAndIconPath(WindowRef window, const SavedDriveInfo* drive,
                                         SInt16 popupNumber, SInt16 driveIndex, SInt16 itemOffset,
                                         const char* iconPath) {
    ControlRef popup = nullptr;
    MenuRef menu = nullptr;
    OSStatus status = GetPopupAndMenu(window, popupNumber, &popup, &menu);
    if (status != noErr)
        return status;

    // The name is appended as plain text: a product name holding menu
    // metacharacters (';', '(', '/', ...) must still make exactly one item,
    // shown as it is, or every later drive would be off by the items it made.
    CFStringRef name =
        CFStringCreateWithBytes(kCFAllocatorDefault, drive->productName + 1, drive->productName[0],
                                kCFStringEncodingMacRoman, false);
    status = AppendMenuItemTextWithCFString(menu, name, 0, 0, nullptr);
    if (name)
        CFRelease(name);
    if (status != noErr)
        return status;

    SInt16 item = static_cast<SInt16>(driveIndex + itemOffset + 1);
    SetControlMaximum(popup, item);
    return SetPopupMenuRefIconFromFullPath(popup, static_cast<UInt16>(item), iconPath);
}

OSStatus SetPopupMenuRefIconFromFullPath(ControlRef popup, UInt16 item, const char* iconPath) {
    MenuRef menu = nullptr;
    OSStatus status = GetMenuFromThisPopupRef(popup, &menu);
    if (status != noErr)
        return status;
    FSRef file;
    if (!IconFileRef(iconPath, &file))
        return noErr; // the item simply has no icon
    IconFamilyHandle family = nullptr;
    status = ReadIconFromFSRef(&file, &family);
    if (status != noErr)
        return status;
    IconSuiteRef suite = nullptr;
    status = IconFamilyToIconSuite(family, kSelectorAllAvailableData, &suite);
    if (status != noErr)
        return status;
    return SetMenuItemIconHandle(menu, item, kMenuIconSuiteType, suite);
}

OSStatus AddSeparatorToPopupRef(WindowRef window, SInt16 popupNumber) {
    ControlRef popup = nullptr;
    MenuRef menu = nullptr;
    OSStatus status = GetPopupAndMenu(window, popupNumber, &popup, &menu);
    if (status != noErr)
        return status;
    return AppendMenuItemTextWithCFString(menu, nullptr, kMenuItemAttrSeparator, 1, nullptr);
}
