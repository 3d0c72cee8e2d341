// Controls of the toolbox model's windows: lookup, kind and ID, value,
// activation and the data of each kind under its tag.
#pragma once

#include "platform/toolbox/ToolboxTypes.h"

struct ControlKind {
    OSType signature; // always kControlKindSignatureApple
    OSType kind;
};

typedef SInt16 ControlContentType;

// Content of an icon control: set and read under kControlIconContentTag.
struct ControlButtonContentInfo {
    ControlContentType contentType; // kControlContentIconRef
    union {
        IconRef iconRef;
        Handle iconSuite;
    } u;
};

enum : OSType {
    kControlKindSignatureApple = 'appl',
    kControlKindPushButton = 'push',
    kControlKindPopupButton = 'popb',
    kControlKindStaticText = 'stxt',
    kControlKindIcon = 'icon',
};

enum : ResType {
    // Static text: the text bytes, without terminator, any length.
    kControlStaticTextTextTag = 'text',
    // Icon: a ControlButtonContentInfo, exactly its size, on part 0 or 7,
    // holding an IconRef from Icon Services or none.
    kControlIconContentTag = 'cont',
    // Popup button: its MenuRef, exactly sizeof(MenuRef) bytes.
    kControlPopupButtonMenuHandleTag = 'mhan',
};

enum : ControlPartCode {
    kControlEntireControl = 0,
    kControlIconPart = 7,
};

enum : ControlContentType {
    kControlContentTextOnly = 0,
    kControlContentIconRef = 132,
};

enum : OSStatus {
    errDataNotSupported = -30581,
    errUnknownControl = -30584,
    errInvalidPartCode = -30588,
    errDataSizeMismatch = -30591,
};

OSStatus GetControlByID(WindowRef window, const ControlID* id, ControlRef* outControl);
OSStatus GetControlID(ControlRef control, ControlID* outID);
OSStatus GetControlKind(ControlRef control, ControlKind* outKind);
WindowRef GetControlOwner(ControlRef control);

// Tags a control kind does not know give errDataNotSupported; a buffer of the
// wrong size for a fixed-size tag gives errDataSizeMismatch. Reading text
// copies at most inBufferSize bytes and reports the full length.
OSErr SetControlData(ControlRef control, ControlPartCode part, ResType tag, Size size,
                     const void* data);
OSErr GetControlData(ControlRef control, ControlPartCode part, ResType tag, Size bufferSize,
                     void* buffer, Size* outActualSize);

// The value is kept between minimum and maximum; for a popup button it is the
// number of the chosen item.
SInt16 GetControlValue(ControlRef control);
void SetControlValue(ControlRef control, SInt16 value);
SInt16 GetControlMinimum(ControlRef control);
void SetControlMinimum(ControlRef control, SInt16 minimum);
SInt16 GetControlMaximum(ControlRef control);
void SetControlMaximum(ControlRef control, SInt16 maximum);

// An inactive control is dimmed and takes no clicks.
OSErr ActivateControl(ControlRef control);
OSErr DeactivateControl(ControlRef control);
Boolean IsControlActive(ControlRef control);

// Shows the control's current state.
void Draw1Control(ControlRef control);
