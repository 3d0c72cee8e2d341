// Interface files. An interface file is an XML property list named
// "<name>.nib" in the main bundle's Resources folder; the program's own is
// resources/main.nib, copied unchanged to Contents/Resources/main.nib.
//
// Schema (every key optional unless marked):
//   MenuBars: dict  name -> array of menus
//     menu: dict  Title: string, Items: array of menu items
//     menu item: dict  Text: string, Command: 4-character string,
//                      Separator: bool, Enabled: bool (default true)
//   Windows: dict  name -> window
//     window: dict  Title: string, Bounds: array of 4 integers (top, left,
//                   bottom, right), Visible: bool (default false),
//                   Controls: array of controls
//     control: dict  Kind (required): 'push' | 'popb' | 'stxt' | 'icon',
//                    Signature (required): 4-character string, ID: integer,
//                    Bounds, Title: string (push button and popup label),
//                    Text: string (static text), Active: bool (default true),
//                    Value, Minimum, Maximum: integers,
//                    Items: array of menu items (the popup's menu)
// A popup's value starts at 1 and its maximum at its number of items unless
// the file says otherwise.
#pragma once

#include "platform/corefoundation/CoreFoundation.h"
#include "platform/toolbox/ToolboxTypes.h"

enum : OSStatus {
    kIBCarbonRuntimeCantFindNibFile = -10960,
    kIBCarbonRuntimeObjectNotOfRequestedType = -10961,
    kIBCarbonRuntimeCantFindObject = -10962,
};

// Opens "<inNibName>.nib" in the main bundle's Resources folder.
OSStatus CreateNibReference(CFStringRef inNibName, IBNibRef* outNibRef);
// Opens an interface file by its path (tests and tools use this).
OSStatus CreateNibReferenceFromFile(const char* path, IBNibRef* outNibRef);
void DisposeNibReference(IBNibRef inNibRef);

// Makes the named menu bar of the file the application's menu bar.
OSStatus SetMenuBarFromNib(IBNibRef inNibRef, CFStringRef inName);
// Creates a new window, with its controls, from the named window of the file.
OSStatus CreateWindowFromNib(IBNibRef inNibRef, CFStringRef inName, WindowRef* outWindow);
