#include "app/LocalizedAlert.h"

#include "platform/toolbox/StandardAlerts.h"
#include "platform/toolbox/Windows.h"

namespace {

// The window title of each alert kind. Titles are not translated.
CFStringRef AlertTitle(SInt16 kind) {
    switch (kind) {
    case kAlertStopAlert:
        return CFSTR("Error");
    case kAlertNoteAlert:
        return CFSTR("Note");
    case kAlertCautionAlert:
        return CFSTR("Caution");
    default:
        return CFSTR("Message");
    }
}

// The text for key in the bundle's default strings table, or the key itself.
CFStringRef CopyLocalizedText(CFStringRef key) {
    return CFBundleCopyLocalizedString(CFBundleGetMainBundle(), key, key, nullptr);
}

} // namespace

void DoStandardLocalizedAlert(CFStringRef message, CFStringRef secondary, SInt16 kind) {
    AlertStdCFStringAlertParamRec param;
    GetStandardAlertDefaultParams(&param, kStdCFStringAlertVersionOne);

    CFStringRef messageText = CopyLocalizedText(message);
    CFStringRef secondaryText = secondary ? CopyLocalizedText(secondary) : nullptr;

    param.movable = true;
    param.helpButton = false;
    param.defaultText = nullptr;
    param.cancelText = nullptr;
    param.otherText = nullptr;
    param.defaultButton = kAlertStdAlertOKButton;
    param.cancelButton = 0;

    DialogRef alert = nullptr;
    if (CreateStandardAlert(kind, messageText, secondaryText, &param, &alert) == noErr) {
        SetWindowTitleWithCFString(GetDialogWindow(alert), AlertTitle(kind));
        RunStandardAlert(alert, nullptr, nullptr);
    }

    if (messageText)
        CFRelease(messageText);
    if (secondaryText)
        CFRelease(secondaryText);
}
