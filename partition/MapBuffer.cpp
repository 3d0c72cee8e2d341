#include "partition/MapBuffer.h"

#include "platform/toolbox/MemoryManager.h"

Ptr myIOBuffer = nullptr;
Block0* gBlock0Ptr = nullptr;
Ptr gFullPartMapPtr = nullptr;
Partition* gFirstPartPtr = nullptr;

IOBufferSetUp SetUpIOBuffer() {
    myIOBuffer = NewPtrClear(kIOBufferSize);
    if (myIOBuffer == nullptr) {
        return IOBufferSetUp::notAllocated;
    }
    if (HoldMemory(myIOBuffer, kIOBufferSize) != noErr) {
        return IOBufferSetUp::notWired;
    }
    gBlock0Ptr = reinterpret_cast<Block0*>(myIOBuffer);
    gFullPartMapPtr = myIOBuffer;
    gFirstPartPtr = reinterpret_cast<Partition*>(myIOBuffer + kBlockSize);
    return IOBufferSetUp::ready;
}
