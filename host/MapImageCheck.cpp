#include "host/MapImageCheck.h"

#include "partition/MapRecords.h"

#include <algorithm>
#include <vector>

namespace host {

namespace {

std::string EntryText(UInt32 k) {
    return "entry " + std::to_string(k);
}

struct Extent {
    UInt64 start;
    UInt64 end; // one past the last block
    UInt32 entry;
};

} // namespace

std::string MapImageProblem(std::span<const UInt8> image, UInt64 deviceBlocks) {
    if (image.size() != kMapImageSize)
        return "the image holds " + std::to_string(image.size()) + " bytes, not " +
               std::to_string(kMapImageSize);
    if (deviceBlocks < kMapImageSize / kBlockSize)
        return "the device holds " + std::to_string(deviceBlocks) +
               " blocks, fewer than the map area";
    auto block0 = reinterpret_cast<const Block0*>(image.data());
    if (block0->sbSig() != kDriverDescriptorSignature)
        return "block 0 is not a driver descriptor (no 'ER' signature)";
    auto slot = [&](UInt32 k) {
        return reinterpret_cast<const Partition*>(image.data() + k * kBlockSize);
    };
    if (!IsPartitionEntry(*slot(1)))
        return "block 1 is not a partition map entry (no 'PM' signature)";
    UInt32 count = slot(1)->pmMapBlkCnt();
    if (count < 1 || count > kMapSlotCount)
        return "the map claims " + std::to_string(count) + " entries; a map holds 1 to " +
               std::to_string(kMapSlotCount);

    std::vector<Extent> extents;
    const Partition* mapEntry = nullptr;
    for (UInt32 k = 1; k <= count; ++k) {
        const Partition& entry = *slot(k);
        if (!IsPartitionEntry(entry))
            return EntryText(k) + " of " + std::to_string(count) + " has no 'PM' signature";
        if (entry.pmMapBlkCnt() != count)
            return EntryText(k) + " counts " + std::to_string(entry.pmMapBlkCnt()) +
                   " entries, entry 1 counts " + std::to_string(count);
        UInt64 start = entry.pmPyPartStart();
        UInt64 end = start + entry.pmPartBlkCnt();
        if (end > (UInt64(1) << 32))
            return EntryText(k) + " runs past block 2^32";
        if (end > deviceBlocks)
            return EntryText(k) + " ends at block " + std::to_string(end) +
                   ", beyond the device's " + std::to_string(deviceBlocks) + " blocks";
        if (entry.pmParType() == "Apple_partition_map") {
            if (mapEntry)
                return "more than one \"Apple_partition_map\" entry";
            mapEntry = &entry;
        }
        if (end > start)
            extents.push_back({start, end, k});
    }
    if (!mapEntry)
        return "no \"Apple_partition_map\" entry";
    // The entries stand in blocks 1 to count, so that is where the map's own
    // partition starts; placed elsewhere, the blocks written over could belong
    // to another partition.
    if (mapEntry->pmPyPartStart() != 1)
        return "the \"Apple_partition_map\" entry starts at block " +
               std::to_string(mapEntry->pmPyPartStart()) + ", not at block 1 where the entries are";
    if (count > mapEntry->pmPartBlkCnt())
        return "the map has " + std::to_string(count) + " entries, more than the " +
               std::to_string(mapEntry->pmPartBlkCnt()) + " blocks of its own partition";

    std::sort(extents.begin(), extents.end(),
              [](const Extent& a, const Extent& b) { return a.start < b.start; });
    for (size_t i = 1; i < extents.size(); ++i) {
        if (extents[i].start < extents[i - 1].end)
            return EntryText(extents[i - 1].entry) + " and " + EntryText(extents[i].entry) +
                   " overlap";
    }
    return {};
}

} // namespace host
