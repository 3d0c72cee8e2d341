// What start-up sets up for the rest of the application: the interface file,
// the paths of the bundle's icon files, and the lookups main makes.
#pragma once

#include "platform/corefoundation/CoreFoundation.h"
#include "platform/toolbox/ToolboxTypes.h"

// Room of every path buffer of the application, terminator included.
constexpr int kPathBufferSize = 1024;

extern IBNibRef gMainNibRef;
// "AppIcon.icns" in the bundle's Resources folder.
extern char gPathToAppIcon[kPathBufferSize];
// The Resources folder with its final '/', to which icon file names are appended.
extern char gPathToAllIcons[kPathBufferSize];

// Standard cursor, no raw device open yet, the interface file "main" loaded
// into gMainNibRef and its menu bar "MainMenu" shown.
void Initialize();

// Writes the running executable's path into path and returns 0 when it fits
// *size bytes; otherwise stores the size it needs in *size and returns -1.
int MyGetExecutablePath(char* path, UInt32* size);

// Writes the path of the file of that name in the bundle's Resources folder
// into path and answers whether the file exists. A path that does not fit the
// buffer counts as missing and leaves path empty.
Boolean getPathForFile(CFStringRef fileName, char (&path)[kPathBufferSize]);
