// Small operations through which the application reaches the controls of its
// windows: lookup, enable/disable, static texts, icons and the drive popup.
#pragma once

#include "drives/DriveTable.h"
#include "platform/toolbox/ToolboxTypes.h"

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

OSStatus AppendPopupWithDriveAndIconPath(WindowRef window, const SavedDriveInfo* drive,
                                         SInt16 popupNumber, SInt16 driveIndex, SInt16 itemOffset,
                                         const char* iconPath);
OSStatus SetPopupMenuRefIconFromFullPath(ControlRef popup, UInt16 item, const char* iconPath);
OSStatus AddSeparatorToPopupRef(WindowRef window, SInt16 popupNumber);
