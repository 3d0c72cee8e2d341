// The handle and record types of the Carbon toolbox that the application and
// the stand-in share. The objects behind the handles live in the toolbox model.
#pragma once

#include "platform/MacTypes.h"

typedef struct OpaqueWindowPtr* WindowRef;
typedef struct OpaqueDialogPtr* DialogRef;
typedef struct OpaqueControlRef* ControlRef;
typedef struct OpaqueMenuRef* MenuRef;
typedef struct OpaqueIconRef* IconRef;
typedef struct OpaqueIBNibRef* IBNibRef;
typedef struct OpaqueEventRef* EventRef;
typedef struct OpaqueEventHandlerCallRef* EventHandlerCallRef;
typedef struct OpaqueEventHandlerRef* EventHandlerRef;
typedef struct OpaqueEventTargetRef* EventTargetRef;

typedef Ptr* Handle;
typedef Handle IconSuiteRef;
typedef Handle IconFamilyHandle;

typedef UInt32 ByteCount;
typedef UInt32 ItemCount;
typedef UInt32 OptionBits;

typedef UInt16 MenuItemIndex;
typedef UInt32 MenuCommand;
typedef SInt16 ControlPartCode;
typedef SInt16 AlertType;
typedef SInt16 DialogItemIndex;

struct ControlID {
    OSType signature;
    SInt32 id;
};

struct EventTypeSpec {
    UInt32 eventClass;
    UInt32 eventKind;
};

struct HICommand {
    UInt32 attributes;
    UInt32 commandID;
    struct {
        MenuRef menuRef;
        MenuItemIndex menuItemIndex;
    } menu;
};

struct ProcessSerialNumber {
    UInt32 highLongOfPSN;
    UInt32 lowLongOfPSN;
};

// A rectangle in window coordinates, in the order the toolbox writes it.
struct Rect {
    SInt16 top;
    SInt16 left;
    SInt16 bottom;
    SInt16 right;
};
