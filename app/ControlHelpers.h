// Small operations through which the application reaches the controls of its
// windows: lookup, enable/disable, static texts, icons and the drive popup.
#pragma once

#include "drives/DriveTable.h"
#include "platform/toolbox/ToolboxTypes.h"

// Icon Services slots: every icon the application shows is registered under
// this creator and one of the four types.
constexpr OSType kIconCreator = 'BETA';
constexpr OSType kAppIconSlot = 'icn1';    // "AppIcon.icns", About window
constexpr OSType kAppLogoSlot = 'icn2';    // "AppLogo.icns", main window
constexpr OSType kDriveIconSlot = 'icn3';  // unknown device, then the chosen drive
constexpr OSType kVolumeIconSlot = 'icn4'; // unknown device as the volume icon

// Slot 'icn3': the unknown-device icon until the first drive is chosen, then
// the chosen drive's icon; at most one of the two is set.
extern IconRef gUnknownDriveIconRef;
extern IconRef gCurrentDriveIconRef;
extern IconRef gUnknownVolumeIconRef;

OSStatus GetThisWindowControlRef(WindowRef window, OSType signature, SInt32 number,
                                 ControlRef* outControl);
OSStatus GetMainWindowControlRef(OSType signature, SInt16 number, ControlRef* outControl);
OSErr GetMenuFromThisPopupRef(ControlRef popup, MenuRef* outMenu);

void TurnOnControl(OSType signature, SInt16 number);
void TurnOffControl(OSType signature, SInt16 number);

void SetStatTextControlWCStr(WindowRef window, SInt16 number, const char* text);
void SetStatTextControlWPStr(WindowRef window, SInt16 number, ConstStr255Param text);

OSStatus RegisterThisIconID(const char* path, OSType type, OSType creator, IconRef* outIcon);
void SetNewIconRef(WindowRef window, IconRef icon, SInt16 number);
void UnregisterDriveIcons();

// Appends the drive as exactly one item whose text is its product name taken
// literally, makes item driveIndex + itemOffset + 1 the popup's maximum and
// gives it the icon of iconPath (none when the file does not exist).
OSStatus AppendPopupWithDriveAndIconPath(WindowRef window, const SavedDriveInfo* drive,
                                         SInt16 popupNumber, SInt16 driveIndex, SInt16 itemOffset,
                                         const char* iconPath);
OSStatus SetPopupMenuRefIconFromFullPath(ControlRef popup, UInt16 item, const char* iconPath);
OSStatus AddSeparatorToPopupRef(WindowRef window, SInt16 popupNumber);
