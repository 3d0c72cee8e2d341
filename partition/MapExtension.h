// Turns the free partition at the end of the drive's map into a new HFS
// volume reaching to 17 blocks before the end of the drive, with a 16-block
// free entry behind it, and hands the new map to the drive's driver.
#pragma once

#include "partition/MapOutcomes.h"
#include "platform/MacTypes.h"

// Works on the image already read into the buffer, for a drive of
// driveSizeInBytes bytes. Answers readyToHandOver with the edited image in
// the buffer, or the reason the map is left as it is: noValidMap,
// lastPartitionNotFree, alreadyUpdated, driveTooLarge, noRoomForEntry,
// notEnoughFreeSpace or freeOverlapsPartition. On those the descriptor's block
// count and the merge of free entries may already be in the image, but neither
// the last entry nor the slot behind it has been touched.
MapOutcome ExtendMapImage(SInt64 driveSizeInBytes);

// The whole operation for the chosen drive: reads blocks 0 to 63 of its raw
// device into the buffer, extends the map, hands it to the driver and tells
// the user the outcome in an alert. After the driver has accepted the map and
// the user has dismissed the alert, the process ends.
void FixPartitionMap();
