#include "partition/MapExtension.h"

#include "partition/MapBuffer.h"
#include "partition/MapEditing.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr UInt32 kNewFreeEntryBlocks = 16;
// The new free entry and the drive's last block, which lies in no partition.
constexpr UInt32 kBlocksBehindNewVolume = kNewFreeEntryBlocks + 1;
constexpr const char* kNewVolumeNameStem = "Apple_HFS_Untitled_";

// The new entry is written into block n + 1 of the disk. It must lie inside
// the map's own partition, or it would overwrite the partition behind the map;
// a map without such an entry does not say where it ends.
bool MapHasRoomForEntry(UInt32 n) {
    if (n >= kMapSlotCount) {
        return false;
    }
    for (UInt32 j = 1; j <= n; ++j) {
        const Partition& entry = MapSlot(j);
        if (entry.pmParType() == "Apple_partition_map") {
            const UInt64 newBlock = n + 1;
            return entry.pmPyPartStart() <= newBlock &&
                   newBlock < UInt64(entry.pmPyPartStart()) + entry.pmPartBlkCnt();
        }
    }
    return false;
}

// True when a slot other than the last entry's holds an entry with any block
// from `from` up to the end of the drive: the new volume would lie over its
// data. Every signed slot counts, also one that a map whose pmMapBlkCnt was
// too small has left behind the run of entries when its free entries merged.
bool AnotherEntryOverlaps(UInt32 last, UInt32 from, UInt32 blocks) {
    for (UInt32 j = 1; j <= kMapSlotCount; ++j) {
        const Partition& entry = MapSlot(j);
        if (j == last || !IsPartitionEntry(entry)) {
            continue;
        }
        const UInt64 start = entry.pmPyPartStart();
        const UInt64 end = start + entry.pmPartBlkCnt();
        if (start < end && start < blocks && end > from) {
            return true;
        }
    }
    return false;
}

} // namespace

MapOutcome ExtendMapImage(SInt64 driveSizeInBytes) {
    if (!IsPartitionEntry(MapSlot(1))) {
        return MapOutcome::noValidMap;
    }
    const UInt64 driveBlocks = static_cast<UInt64>(driveSizeInBytes) >> 9;
    const UInt32 blocks = static_cast<UInt32>(driveBlocks);
    gBlock0Ptr->setSbBlkCount(blocks);

    CollectFree();
    const SInt16 hfsCount = CountHFS();
    const UInt32 n = MapSlot(1).pmMapBlkCnt();
    Partition& last = MapSlot(n);

    if (!PartitionIsFree(last)) {
        return MapOutcome::lastPartitionNotFree;
    }
    // Compared at full width: a drive of 2^32 blocks or more whose size cut
    // to 32 bits happens to match is too large, not updated.
    if (driveBlocks == UInt64(last.pmPyPartStart()) + last.pmPartBlkCnt() + 1) {
        return MapOutcome::alreadyUpdated;
    }
    if (driveBlocks > UINT32_MAX) {
        return MapOutcome::driveTooLarge;
    }
    if (!MapHasRoomForEntry(n)) {
        return MapOutcome::noRoomForEntry;
    }
    if (blocks <= UInt64(last.pmPyPartStart()) + kBlocksBehindNewVolume) {
        return MapOutcome::notEnoughFreeSpace;
    }
    if (AnotherEntryOverlaps(n, last.pmPyPartStart(), blocks)) {
        return MapOutcome::freeOverlapsPartition;
    }

    // The new free entry behind the volume starts as a copy of the old one.
    Partition& added = MapSlot(n + 1);
    std::memcpy(&added, &last, kBlockSize);
    added.setPmPartBlkCnt(kNewFreeEntryBlocks);
    added.setPmDataCnt(kNewFreeEntryBlocks);

    char name[Partition::kNameWidth];
    std::snprintf(name, sizeof name, "%s%d", kNewVolumeNameStem, hfsCount + 1);
    last.setPmPartName(name);
    last.setPmParType("Apple_HFS");

    const UInt32 size = blocks - last.pmPyPartStart() - kBlocksBehindNewVolume;
    last.setPmDataCnt(size);
    last.setPmPartBlkCnt(size);
    last.setPmPartStatus(kHFSPartitionStatus);
    added.setPmPyPartStart(last.pmPyPartStart() + size);

    for (UInt32 j = 1; j <= n + 1; ++j) {
        MapSlot(j).setPmMapBlkCnt(n + 1);
    }
    return MapOutcome::readyToHandOver;
}
