// Builds Apple Partition Map images in memory, as a disk would hold them in
// blocks 0 to 63, and writes them to disk image files. Used by the tests and
// by the tools that make demonstration hosts.
#pragma once

#include "partition/MapRecords.h"
#include "platform/MacTypes.h"

#include <array>
#include <string>
#include <vector>

// One partition as the builder lays it down; its data area is the whole partition.
struct MapEntrySpec {
    std::string name;
    std::string type;
    UInt32 start = 0;
    UInt32 count = 0;
    UInt32 status = 0;
};

// Blocks 0 to 63 of a disk: the driver descriptor and the 63 map slots.
struct MapImage {
    std::array<UInt8, kMapImageSize> bytes{};

    Block0& descriptor() { return *reinterpret_cast<Block0*>(bytes.data()); }
    const Block0& descriptor() const { return *reinterpret_cast<const Block0*>(bytes.data()); }
    // Slot k, 1 to 63; throws std::out_of_range for any other k.
    Partition& slot(UInt32 k);
    const Partition& slot(UInt32 k) const;
};

constexpr UInt32 kMapPartitionStatus = 0x37;

class MapImageBuilder {
  public:
    // A disk of driveBlocks blocks of 512 bytes. The map's own entry,
    // "Apple_partition_map" over blocks 1 to mapPartitionBlocks, comes first,
    // as on real disks.
    explicit MapImageBuilder(UInt32 driveBlocks, UInt32 mapPartitionBlocks = kMapSlotCount);

    MapImageBuilder& add(MapEntrySpec entry);
    // Free space, named "Extra" and typed "Apple_Free".
    MapImageBuilder& addFree(UInt32 start, UInt32 count);
    // An "Apple_HFS" volume with the usual status of a mountable volume.
    MapImageBuilder& addHFS(std::string name, UInt32 start, UInt32 count);

    // The image: descriptor signed 'ER' with a block size of 512 and the
    // drive's block count, then one slot per entry in the order added, each
    // signed 'PM' and holding the number of entries in pmMapBlkCnt.
    // Throws std::length_error when there are more than 63 entries.
    MapImage build() const;

  private:
    UInt32 driveBlocks_;
    std::vector<MapEntrySpec> entries_;
};

// Creates or replaces the file at path as a sparse disk image of sizeInBytes
// bytes that holds the map image in its first 32 KB. Throws std::system_error
// on I/O failure and std::invalid_argument when the size is under 32 KB.
void CreateDiskImage(const std::string& path, UInt64 sizeInBytes, const MapImage& image);
// Writes the map image over the first 32 KB of an existing disk or image file,
// leaving its size and the rest of its contents alone.
void WriteMapImage(const std::string& path, const MapImage& image);
// Reads the first 32 KB of a disk or image file.
MapImage ReadMapImage(const std::string& path);
