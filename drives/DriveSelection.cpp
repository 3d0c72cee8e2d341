#include "drives/DriveSelection.h"

#include "app/ControlHelpers.h"
#include "app/LocalizedAlert.h"
#include "app/Windows.h"
#include "platform/posix/DevicePaths.h"
#include "platform/toolbox/Controls.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

// Popup item of record 0: the popup's own first item and a separator come first.
constexpr SInt32 kFirstDriveItem = 3;

constexpr SInt32 kResetItem = 1;
constexpr SInt16 kKindStop = 0;

} // namespace

SavedDriveInfo* DriveRecordForPopupItem(SInt32 item) {
    const SInt32 index = item - kFirstDriveItem;
    if (index < 0 || index >= kMaxSavedDrives) {
        return nullptr;
    }
    // Discovery stores the driver entry (never 0) in every record it lists.
    SavedDriveInfo* drive = &gSavedDriveInfoArray[index];
    return drive->driverService != 0 ? drive : nullptr;
}

Boolean DriveIsLargeEnough(SInt64 sizeInBytes) {
    return (sizeInBytes >> 9) >= kMinimumDriveBlocks;
}

void DoPopupMenuSelection(ControlRef popup) {
    SavedDriveInfo* drive = DriveRecordForPopupItem(GetControlValue(popup));
    if (drive == nullptr) {
        return;
    }
    if (!DriveIsLargeEnough(drive->sizeInBytes)) {
        DoStandardLocalizedAlert(CFSTR("Please select a drive greater than 128 Gigabytes in size."),
                                 nullptr, kKindStop);
        SetControlValue(popup, kResetItem);
        return;
    }

    gActiveDrive = drive;
    // The previous descriptor is never read again once replaced, whether or
    // not this open succeeds.
    const int descriptor = posix::open(drive->rawDevicePath, O_RDONLY, 0);
    if (gUnixReadFileRef > 0) {
        close(gUnixReadFileRef);
    }
    gUnixReadFileRef = descriptor;
    if (descriptor == -1) {
        return;
    }
    UpdateSelectedDriveInfo();
    TurnOnControl('push', 1);
}

void UpdateSelectedDriveInfo() {
    if (gActiveDrive == nullptr) {
        return;
    }
    SetStatTextControlWPStr(gMainWindow, 1, gActiveDrive->interfaceInfo);
    SetStatTextControlWCStr(gMainWindow, 2, gActiveDrive->sizeText);
    // The drive icon slot is shared: release what it holds before registering
    // this drive's icon in it.
    UnregisterDriveIcons();
    RegisterThisIconID(gActiveDrive->mediaIconPath, 'icn3', 'BETA', &gCurrentDriveIconRef);
    SetNewIconRef(gMainWindow, gCurrentDriveIconRef, 3);
}
