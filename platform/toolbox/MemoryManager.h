// The Memory Manager calls the program uses: nonrelocatable blocks and wiring
// a block into physical memory.
#pragma once

#include "platform/MacTypes.h"

// A new block of byteCount bytes, or null when none can be had.
Ptr NewPtr(Size byteCount);
// The same, filled with zeros.
Ptr NewPtrClear(Size byteCount);
// Releases a block from NewPtr or NewPtrClear; null is ignored.
void DisposePtr(Ptr p);

// Keeps the range resident in physical memory: noErr, or paramErr for a null
// address or a range the system refuses as invalid.
OSErr HoldMemory(void* address, unsigned long count);

// Tests only: while on, NewPtr and NewPtrClear give no block, as when memory
// has run out.
void SetNewPtrFailureForTesting(bool fail);
