// The 1 MB I/O buffer that holds the partition map image, and the map
// pointers laid over it. The image is the buffer's first 32 KB; the rest stays
// zero-filled, so block 64, right behind the last slot, always reads as zero
// and ends every walk over the slots inside the buffer.
#pragma once

#include "partition/MapRecords.h"
#include "platform/MacTypes.h"

constexpr Size kIOBufferSize = 0x100000;

extern Ptr myIOBuffer;
extern Block0* gBlock0Ptr;       // byte 0: the driver descriptor
extern Ptr gFullPartMapPtr;      // byte 0: the whole image, as handed to the driver
extern Partition* gFirstPartPtr; // byte 512: slot 1

enum class IOBufferSetUp {
    ready,
    notAllocated, // no memory for the buffer
    notWired,     // the buffer could not be held resident
};

// Allocates the buffer zero-filled, wires it and lays the map pointers over
// it. Called once at start-up; the buffer is never released.
IOBufferSetUp SetUpIOBuffer();

// Slot k of the image, counted from 1. Slot 64 is the zero block behind it.
inline Partition& MapSlot(UInt32 k) {
    return gFirstPartPtr[k - 1];
}
