// Standard alerts: a modal window with a message, an optional secondary
// message and up to three buttons.
#pragma once

#include "platform/corefoundation/CoreFoundation.h"
#include "platform/toolbox/ToolboxTypes.h"

enum : AlertType {
    kAlertStopAlert = 0,
    kAlertNoteAlert = 1,
    kAlertCautionAlert = 2,
    kAlertPlainAlert = 3,
};

enum : DialogItemIndex {
    kAlertStdAlertOKButton = 1,
    kAlertStdAlertCancelButton = 2,
    kAlertStdAlertOtherButton = 3,
    kAlertStdAlertHelpButton = 4,
};

enum : UInt32 {
    kStdCFStringAlertVersionOne = 1,
};

enum : UInt16 {
    kWindowDefaultPosition = 0,
};

// Button text meaning the button's standard label ("OK", "Cancel", "Don't Save").
#define kAlertDefaultOKText ((CFStringRef)-1)
#define kAlertDefaultCancelText ((CFStringRef)-1)
#define kAlertDefaultOtherText ((CFStringRef)-1)

struct AlertStdCFStringAlertParamRec {
    UInt32 version;
    Boolean movable;
    Boolean helpButton;
    // The OK-position button is always shown, labelled "OK" when its text is
    // null or kAlertDefaultOKText. The cancel and other buttons are shown only
    // when their text is given.
    CFStringRef defaultText;
    CFStringRef cancelText;
    CFStringRef otherText;
    SInt16 defaultButton;
    SInt16 cancelButton;
    UInt16 position;
    OptionBits flags;
};

struct EventRecord;
typedef Boolean (*ModalFilterProcPtr)(DialogRef dialog, EventRecord* event,
                                      DialogItemIndex* itemHit);
typedef ModalFilterProcPtr ModalFilterUPP;

OSStatus GetStandardAlertDefaultParams(AlertStdCFStringAlertParamRec* param, UInt32 version);

// The texts are copied; the window's title starts empty. A null error text or
// parameter record of another version gives paramErr.
OSStatus CreateStandardAlert(AlertType alertType, CFStringRef error, CFStringRef explanation,
                             const AlertStdCFStringAlertParamRec* param, DialogRef* outAlert);

// Shows the alert modally, returns when the person has dismissed it and then
// disposes of it. outItemHit (may be null) receives the button pressed. The
// view runs the alert; a filter is never called.
OSStatus RunStandardAlert(DialogRef alert, ModalFilterUPP filterProc, DialogItemIndex* outItemHit);
