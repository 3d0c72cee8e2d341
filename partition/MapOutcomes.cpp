#include "partition/MapOutcomes.h"

namespace {

constexpr SInt16 kStop = 0;
constexpr SInt16 kNote = 1;

constexpr OutcomeAlert kAlerts[] = {
    {MapOutcome::readFailed,
     "ReadBytesFromBlock512 Failed. Sorry, unable to fix Partition Map on the currently "
     "selected drive.",
     nullptr, kStop},
    {MapOutcome::noValidMap, "No valid partition map found.", nullptr, kStop},
    {MapOutcome::lastPartitionNotFree,
     "Last Partition is not Free! Sorry, Unable to fix Partition Map on the currently selected "
     "drive",
     nullptr, kStop},
    {MapOutcome::alreadyUpdated, "This drive has already been updated.", nullptr, kNote},
    {MapOutcome::driveTooLarge,
     "This drive is too large for an Apple Partition Map. Sorry, unable to fix Partition Map on "
     "the currently selected drive.",
     nullptr, kStop},
    {MapOutcome::noRoomForEntry,
     "The partition map has no room for another entry. Sorry, unable to fix Partition Map on "
     "the currently selected drive.",
     nullptr, kStop},
    {MapOutcome::notEnoughFreeSpace,
     "There is not enough free space at the end of the drive for a new volume.", nullptr, kStop},
    {MapOutcome::freeOverlapsPartition,
     "The free partition at the end of the map overlaps another partition. Sorry, unable to fix "
     "Partition Map on the currently selected drive.",
     nullptr, kStop},
    {MapOutcome::accepted,
     "A new drive volume has been created with the extra capacity of the drive.",
     "Please restart your Macintosh, run Disk Utility and initialize the new volume.", kNote},
    {MapOutcome::refused,
     "IORegistryEntrySetCFProperty Failed. Sorry, Unable to fix Partition Map on the currently "
     "selected drive",
     nullptr, kStop},
};

} // namespace

std::span<const OutcomeAlert> MapOutcomeAlerts() {
    return kAlerts;
}

const OutcomeAlert* FindOutcomeAlert(MapOutcome outcome) {
    for (const OutcomeAlert& alert : kAlerts) {
        if (alert.outcome == outcome) {
            return &alert;
        }
    }
    return nullptr;
}
