#include "app/Windows.h"

#include "app/ControlHelpers.h"
#include "drives/DriveSelection.h"
#include "partition/MapExtension.h"
#include "platform/toolbox/CarbonEvents.h"
#include "platform/toolbox/Controls.h"
#include "platform/toolbox/Nibs.h"
#include "platform/toolbox/Windows.h"

#include <cstdio>
#include <iterator>

WindowRef gMainWindow = nullptr;
WindowRef gAboutWindow = nullptr;
char gPathToUnknownIcon[kPathBufferSize];

namespace {

const EventTypeSpec gAppEventList[] = {
    {kEventClassCommand, kEventCommandProcess},
    {kEventClassApplication, kEventAppActivated},
    {kEventClassApplication, kEventAppDeactivated},
};
const EventTypeSpec gWindEventList[] = {
    {kEventClassWindow, kEventWindowClose},
    {kEventClassControl, kEventControlHit},
};
const EventTypeSpec gAboutEventList[] = {
    {kEventClassWindow, kEventWindowClose},
};

// The Resources folder's path followed by fileName. False, with path empty,
// when the result does not fit: that icon is then left unset.
bool ComposeIconPath(char (&path)[kPathBufferSize], const char* fileName) {
    int length = std::snprintf(path, sizeof path, "%s%s", gPathToAllIcons, fileName);
    if (length < 0 || length >= kPathBufferSize) {
        path[0] = '\0';
        return false;
    }
    return true;
}

// Registers an icon file in a slot and, when that succeeds, shows it in the
// window's icon control `number`.
void ShowIconFile(const char* path, OSType slot, IconRef* icon, WindowRef window, SInt16 number) {
    if (RegisterThisIconID(path, slot, kIconCreator, icon) == noErr)
        SetNewIconRef(window, *icon, number);
}

} // namespace

OSStatus CreateAllWindows() {
    CreateWindowFromNib(gMainNibRef, CFSTR("MainWindow"), &gMainWindow);
    CreateWindowFromNib(gMainNibRef, CFSTR("AboutWindow"), &gAboutWindow);
    ShowWindow(gMainWindow);
    SetPortWindowPort(gMainWindow);

    IconRef appIcon = nullptr;
    ShowIconFile(gPathToAppIcon, kAppIconSlot, &appIcon, gAboutWindow, 1);

    char logoPath[kPathBufferSize];
    IconRef logo = nullptr;
    if (ComposeIconPath(logoPath, "AppLogo.icns"))
        ShowIconFile(logoPath, kAppLogoSlot, &logo, gMainWindow, 2);

    if (ComposeIconPath(gPathToUnknownIcon, "unknownDevice.icns")) {
        ShowIconFile(gPathToUnknownIcon, kDriveIconSlot, &gUnknownDriveIconRef, gMainWindow, 3);
        ShowIconFile(gPathToUnknownIcon, kVolumeIconSlot, &gUnknownVolumeIconRef, gMainWindow, 4);
    }

    TurnOffControl(kControlKindPushButton, 1);

    InstallEventHandler(GetApplicationEventTarget(), NewEventHandlerUPP(DoAppCommandProcess),
                        std::size(gAppEventList), gAppEventList, nullptr, nullptr);
    InstallEventHandler(GetWindowEventTarget(gMainWindow),
                        NewEventHandlerUPP(MainWindowEventHandler), std::size(gWindEventList),
                        gWindEventList, nullptr, nullptr);
    return InstallEventHandler(GetWindowEventTarget(gAboutWindow),
                               NewEventHandlerUPP(AboutWindowEventHandler),
                               std::size(gAboutEventList), gAboutEventList, gAboutWindow, nullptr);
}

OSStatus DoAppCommandProcess(EventHandlerCallRef, EventRef event, void*) {
    UInt32 eventClass = GetEventClass(event);
    UInt32 kind = GetEventKind(event);
    if (eventClass == kEventClassCommand && kind == kEventCommandProcess) {
        HICommand command{};
        GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command,
                          nullptr, &command);
        if (command.commandID != kHICommandAbout)
            return eventNotHandledErr;
        ShowWindow(gAboutWindow);
        SelectWindow(gAboutWindow);
        return noErr;
    }
    // Activated or deactivated, the kind tested as a signed number.
    SInt32 signedKind = static_cast<SInt32>(kind);
    if (eventClass == kEventClassApplication &&
        signedKind >= static_cast<SInt32>(kEventAppActivated) &&
        signedKind <= static_cast<SInt32>(kEventAppDeactivated))
        return noErr;
    return eventNotHandledErr;
}

OSStatus MainWindowEventHandler(EventHandlerCallRef, EventRef event, void*) {
    UInt32 eventClass = GetEventClass(event);
    UInt32 kind = GetEventKind(event);
    if (eventClass == kEventClassWindow && kind == kEventWindowClose) {
        QuitApplicationEventLoop();
        return noErr;
    }
    if (eventClass == kEventClassControl && kind == kEventControlHit) {
        ControlRef control = nullptr;
        GetEventParameter(event, kEventParamDirectObject, typeControlRef, nullptr, sizeof control,
                          nullptr, &control);
        ControlKind controlKind{};
        ControlID id{};
        GetControlKind(control, &controlKind);
        OSStatus status = GetControlID(control, &id);
        // Dispatch on the control's kind and number; the signature is not looked at.
        if (controlKind.kind == kControlKindPushButton && id.id == 1)
            FixPartitionMap();
        else if (controlKind.kind == kControlKindPopupButton)
            DoPopupMenuSelection(control);
        return status;
    }
    return eventNotHandledErr;
}

OSStatus AboutWindowEventHandler(EventHandlerCallRef, EventRef event, void* userData) {
    if (GetEventKind(event) != kEventWindowClose)
        return eventNotHandledErr;
    HideWindow(static_cast<WindowRef>(userData));
    return noErr;
}
