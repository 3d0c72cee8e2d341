// Editing operations on the partition map image in the I/O buffer. Slots are
// counted from 1; N is the pmMapBlkCnt that slot 1 holds when an operation
// begins. None of them touches the device.
#pragma once

#include "platform/MacTypes.h"

// Counts the run of entries from slot 1 and writes the count into every
// entry's pmMapBlkCnt. Returns the count, 0 to 63.
UInt32 UpdatePMCount();

// Merges every run of neighbouring free entries among slots 1 to N into the
// first of the run, which takes the sum of their block counts as its
// pmPartBlkCnt and pmDataCnt. Returns the count after a final recount.
UInt32 CollectFree();

// The number of HFS entries among slots 1 to N.
SInt16 CountHFS();

// Removes entry a (counted from 1): slots a + 1 to N + 1 move down one, slot
// N + 1 is cleared, and the entries are recounted. Returns the new count.
// An entry number below 1 names no slot: nothing is moved or cleared.
UInt32 DeletePartition(SInt16 a);
