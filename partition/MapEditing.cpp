#include "partition/MapEditing.h"

#include "partition/MapBuffer.h"

#include <algorithm>
#include <cstring>

namespace {

// N as the walks use it. A count above 63 would carry a walk over the
// zero-filled blocks behind the image, which are neither entries, free nor
// HFS and change nothing; stopping at 63 gives the same image and keeps every
// walk inside the buffer.
UInt32 WalkCount() {
    return std::min(MapSlot(1).pmMapBlkCnt(), kMapSlotCount);
}

} // namespace

UInt32 UpdatePMCount() {
    UInt32 count = 0;
    while (count < kMapSlotCount && IsPartitionEntry(MapSlot(count + 1))) {
        ++count;
    }
    for (UInt32 j = 1; j <= count; ++j) {
        MapSlot(j).setPmMapBlkCnt(count);
    }
    return count;
}

SInt16 CountHFS() {
    const UInt32 n = WalkCount();
    SInt16 hfs = 0;
    for (UInt32 i = 1; i <= n; ++i) {
        if (PartitionIsHFS(MapSlot(i))) {
            ++hfs;
        }
    }
    return hfs;
}

UInt32 DeletePartition(SInt16 a) {
    if (a >= 1) {
        const UInt32 n = WalkCount();
        for (UInt32 i = static_cast<UInt32>(a); i <= n; ++i) {
            std::memcpy(&MapSlot(i), &MapSlot(i + 1), kBlockSize);
        }
        std::memset(&MapSlot(n + 1), 0, kBlockSize);
    }
    return UpdatePMCount();
}

UInt32 CollectFree() {
    UInt32 n = WalkCount();
    UInt32 i = 1;
    while (i <= n) {
        Partition& entry = MapSlot(i);
        const Partition& next = MapSlot(i + 1);
        if (PartitionIsFree(entry) && PartitionIsFree(next)) {
            const UInt32 merged = entry.pmPartBlkCnt() + next.pmPartBlkCnt();
            entry.setPmPartBlkCnt(merged);
            entry.setPmDataCnt(merged);
            DeletePartition(static_cast<SInt16>(i + 1));
            --n; // slot i is compared again with its new neighbour
        } else {
            ++i;
        }
    }
    return UpdatePMCount();
}
