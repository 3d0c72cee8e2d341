// Icon Services: icon family files (.icns) registered under a (creator, type)
// pair, read as icon families and turned into icon suites for menus.
#pragma once

#include "platform/toolbox/ToolboxTypes.h"

typedef UInt32 IconSelectorValue;

enum : IconSelectorValue {
    kSelectorAllAvailableData = 0xFFFFFFFF,
};

enum : OSStatus {
    invalidIconRefErr = -2580,
};

// Registers the icon family file under (creator, iconType), replacing what
// was registered there. A missing file gives fnfErr, a file that is not an
// icon family invalidIconRefErr. The reference stays valid for the run.
OSStatus RegisterIconRefFromFSRef(OSType creator, OSType iconType, const FSRef* iconFile,
                                  IconRef* theIconRef);
// noSuchIconErr when nothing is registered there.
OSStatus UnregisterIconRef(OSType creator, OSType iconType);
// The icon registered under (creator, iconType); vRefNum is not used.
OSStatus GetIconRef(SInt16 vRefNum, OSType creator, OSType iconType, IconRef* theIconRef);

// Reads the icon family file into a handle; errors as for registering.
OSStatus ReadIconFromFSRef(const FSRef* ref, IconFamilyHandle* iconFamily);
// Makes an icon suite of the family's images (whichever are asked for).
OSErr IconFamilyToIconSuite(IconFamilyHandle iconFamily, IconSelectorValue whichIcons,
                            IconSuiteRef* iconSuite);
