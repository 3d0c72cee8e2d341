#include "partition/MapImageBuilder.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

TEST(MapImageBuilder, LaysDownDescriptorAndEntriesWithTheMapEntryFirst) {
    const MapImage image = MapImageBuilder(1000, 31)
                               .addHFS("Vol", 64, 500)
                               .add({"Scratch", "Apple_UNIX_SVR2", 564, 100, 0x7F})
                               .addFree(664, 336)
                               .build();

    // 'ER', block size 512 and the drive's blocks, as the bytes stand on disk.
    const UInt8 descriptor[] = {'E', 'R', 0x02, 0x00, 0x00, 0x00, 0x03, 0xE8};
    EXPECT_EQ(0, std::memcmp(image.bytes.data(), descriptor, sizeof descriptor));

    struct Expected {
        const char* name;
        const char* type;
        UInt32 start, count, status;
    };
    const Expected expected[] = {
        {"Apple", "Apple_partition_map", 1, 31, kMapPartitionStatus},
        {"Vol", "Apple_HFS", 64, 500, kHFSPartitionStatus},
        {"Scratch", "Apple_UNIX_SVR2", 564, 100, 0x7F},
        {"Extra", "Apple_Free", 664, 336, 0},
    };
    for (UInt32 k = 1; k <= 4; ++k) {
        const Partition& p = image.slot(k);
        const Expected& e = expected[k - 1];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(p.pmSig(), kPartitionEntrySignature);
        EXPECT_EQ(p.pmMapBlkCnt(), 4u);
        EXPECT_EQ(p.pmPyPartStart(), e.start);
        EXPECT_EQ(p.pmPartBlkCnt(), e.count);
        EXPECT_EQ(p.pmDataCnt(), e.count);
        EXPECT_EQ(p.pmPartName(), e.name);
        EXPECT_EQ(p.pmParType(), e.type);
        EXPECT_EQ(p.pmPartStatus(), e.status);
    }
    EXPECT_EQ(image.slot(5).pmSig(), 0);
}

TEST(MapImageBuilder, HoldsAtMost63Entries) {
    MapImageBuilder builder(100000);
    for (UInt32 k = 2; k <= 63; ++k) {
        builder.addFree(64 + k, 1);
    }
    EXPECT_EQ(builder.build().slot(63).pmMapBlkCnt(), 63u);
    builder.addFree(200, 1);
    EXPECT_THROW(builder.build(), std::length_error);

    MapImage image;
    EXPECT_THROW(image.slot(0), std::out_of_range);
    EXPECT_THROW(image.slot(64), std::out_of_range);
}

TEST(MapImageBuilder, WritesSparseDiskImagesAndMapsOverExistingOnes) {
    TempFolder dir;
    const std::string path = dir / "disk.img";
    const UInt64 size = UInt64(1) << 40; // 1 TiB, nearly all of it holes
    const MapImage first = MapImageBuilder(UInt32(size >> 9)).addFree(64, 1000).build();
    CreateDiskImage(path, size, first);

    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(UInt64(st.st_size), size);
    EXPECT_LT(UInt64(st.st_blocks) * 512, UInt64(1) << 20);
    EXPECT_EQ(ReadMapImage(path).bytes, first.bytes);

    // A byte behind the map area survives a new map written over it.
    const int fd = open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(pwrite(fd, "z", 1, kMapImageSize), 1);
    close(fd);
    const MapImage second = MapImageBuilder(7).build();
    WriteMapImage(path, second);
    EXPECT_EQ(ReadMapImage(path).bytes, second.bytes);
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(UInt64(st.st_size), size);
    char behind = 0;
    const int rfd = open(path.c_str(), O_RDONLY);
    ASSERT_EQ(pread(rfd, &behind, 1, kMapImageSize), 1);
    close(rfd);
    EXPECT_EQ(behind, 'z');
}

TEST(MapImageBuilder, ReportsFileErrors) {
    TempFolder dir;
    const MapImage image = MapImageBuilder(100).build();
    EXPECT_THROW(WriteMapImage(dir / "missing.img", image), std::system_error);
    EXPECT_THROW(ReadMapImage(dir / "missing.img"), std::system_error);
    EXPECT_THROW(CreateDiskImage(dir / "small.img", kMapImageSize - 1, image),
                 std::invalid_argument);

    CreateDiskImage(dir / "exact.img", kMapImageSize, image);
    const int fd = open((dir / "exact.img").c_str(), O_WRONLY);
    ASSERT_EQ(ftruncate(fd, kMapImageSize - 1), 0);
    close(fd);
    EXPECT_THROW(ReadMapImage(dir / "exact.img"), std::system_error);
}
