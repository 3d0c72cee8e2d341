// Every way an attempt to extend a drive's map can end, and the alert that
// tells the user about it. This table is the one place the messages live.
#pragma once

#include "platform/MacTypes.h"

#include <span>

enum class MapOutcome {
    readFailed,            // the map area could not be read
    noValidMap,            // slot 1 is not an entry
    lastPartitionNotFree,  // after the merge the last entry is not free space
    alreadyUpdated,        // the last free entry already ends one block before the drive's end
    driveTooLarge,         // 2^32 blocks or more: beyond the map's 32-bit fields
    noRoomForEntry,        // the new entry would not lie inside the map's own partition
    notEnoughFreeSpace,    // the new volume would be empty or wrap round
    freeOverlapsPartition, // another entry lies in the blocks the new volume would take
    readyToHandOver,       // the edited image waits in the buffer
    accepted,              // the driver took the new map
    refused,               // the driver refused it
};

struct OutcomeAlert {
    MapOutcome outcome;
    const char* message;   // localization key, the English text itself
    const char* secondary; // localization key of the secondary text, or null
    SInt16 kind;           // 0 stop, 1 note
};

// One alert for every outcome but readyToHandOver, which the hand-off decides.
std::span<const OutcomeAlert> MapOutcomeAlerts();
// The alert for an outcome, or null for readyToHandOver.
const OutcomeAlert* FindOutcomeAlert(MapOutcome outcome);
