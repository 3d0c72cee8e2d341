// Turns the free partition at the end of the drive's map into a new HFS
// volume reaching to 17 blocks before the end of the drive, with a 16-block
// free entry behind it, working on the image in the I/O buffer.
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
