#include "partition/MapExtension.h"

#include "app/LocalizedAlert.h"
#include "drives/DriveTable.h"
#include "partition/BlockReads.h"
#include "partition/MapBuffer.h"
#include "partition/MapHandOff.h"
#include "platform/toolbox/ProcessManager.h"

namespace {

void ShowOutcome(MapOutcome outcome) {
    const OutcomeAlert* alert = FindOutcomeAlert(outcome);
    CFStringRef message =
        CFStringCreateWithCString(kCFAllocatorDefault, alert->message, kCFStringEncodingUTF8);
    CFStringRef secondary = alert->secondary != nullptr
                                ? CFStringCreateWithCString(kCFAllocatorDefault, alert->secondary,
                                                            kCFStringEncodingUTF8)
                                : nullptr;
    DoStandardLocalizedAlert(message, secondary, alert->kind);
    CFRelease(message);
    if (secondary != nullptr) {
        CFRelease(secondary);
    }
}

} // namespace

void FixPartitionMap() {
    // The push button is inactive until a drive has been chosen.
    if (gActiveDrive == nullptr) {
        return;
    }
    if (!ReadBytesFromBlock512(0, kMapImageSize, myIOBuffer)) {
        ShowOutcome(MapOutcome::readFailed);
        return;
    }
    const MapOutcome outcome = ExtendMapImage(gActiveDrive->sizeInBytes);
    if (outcome != MapOutcome::readyToHandOver) {
        ShowOutcome(outcome);
        return;
    }
    if (HandOverMapImage(gActiveDrive->driverService) != KERN_SUCCESS) {
        ShowOutcome(MapOutcome::refused);
        return;
    }
    ShowOutcome(MapOutcome::accepted);
    ExitToShell();
}
