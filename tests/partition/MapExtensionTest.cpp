#include "partition/MapExtension.h"

#include "MapBufferFixture.h"

#include <cstring>
#include <string>

namespace {

constexpr SInt64 kWorkedDriveBytes = 160041885696; // 312,581,808 blocks
constexpr UInt32 kWorkedBlocks = 312581808;

// A map of a 128 GiB drive, grown to the worked example's size: one volume
// and the free space up to the old end of the drive.
MapImageBuilder WorkedExampleMap() {
    MapImageBuilder builder(0x0FFFFFFF);
    builder.addHFS("Macintosh HD", 64, 267999936).addFree(268000000, 435455);
    return builder;
}

} // namespace

using MapExtension = MapBufferTest;

TEST_F(MapExtension, WorkedExampleByteForByteAndASecondAttempt) {
    const MapImage expected =
        MapImageBuilder(kWorkedBlocks)
            .addHFS("Macintosh HD", 64, 267999936)
            .add({"Apple_HFS_Untitled_2", "Apple_HFS", 268000000, 44581791, 0x40000033})
            .addFree(312581791, 16)
            .build();
    // The fields that matter, as the bytes stand on the disk.
    const UInt8 sbBlkCount[] = {0x12, 0xA1, 0x9E, 0xB0};
    EXPECT_EQ(0, std::memcmp(expected.bytes.data() + 4, sbBlkCount, 4));
    const UInt8 hfsStartAndCount[] = {0x0F, 0xF9, 0x5B, 0x00, 0x02, 0xA8, 0x43, 0x9F};
    EXPECT_EQ(0, std::memcmp(expected.bytes.data() + 3 * 512 + 8, hfsStartAndCount, 8));
    const UInt8 freeStartAndCount[] = {0x12, 0xA1, 0x9E, 0x9F, 0x00, 0x00, 0x00, 0x10};
    EXPECT_EQ(0, std::memcmp(expected.bytes.data() + 4 * 512 + 8, freeStartAndCount, 8));

    // The map's count from the disk may be anything from the real count up.
    for (UInt32 mapCount : {3u, 63u, 100u, 2047u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(mapCount);
        std::memset(myIOBuffer, 0, kIOBufferSize);
        MapImage image = WorkedExampleMap().build();
        image.slot(1).setPmMapBlkCnt(mapCount);
        Load(image);
        ASSERT_EQ(ExtendMapImage(kWorkedDriveBytes), MapOutcome::readyToHandOver);
        EXPECT_TRUE(SameImage(Image(), expected));
        EXPECT_TRUE(BufferBehindImageIsZero());
    }

    // The next attempt reads the new map from the disk and leaves it as it is.
    std::memset(myIOBuffer, 0, kIOBufferSize);
    Load(expected);
    EXPECT_EQ(ExtendMapImage(kWorkedDriveBytes), MapOutcome::alreadyUpdated);
    EXPECT_TRUE(SameImage(Image(), expected));
}

TEST_F(MapExtension, TheTwoNewEntriesKeepWhatTheOldFreeEntryHeld) {
    MapImage image = WorkedExampleMap().build();
    Partition& old = image.slot(3);
    // Mark every byte the conversion has no business with.
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        old.bytes[i] = UInt8(i * 7 + 1);
    }
    old.setPmSig(kPartitionEntrySignature);
    old.setPmPyPartStart(268000000);
    old.setPmPartBlkCnt(435455);
    old.setPmPartName("Extra");
    old.setPmParType("Apple_Free");
    Load(image);
    ASSERT_EQ(ExtendMapImage(kWorkedDriveBytes), MapOutcome::readyToHandOver);

    const Partition& hfs = MapSlot(3);
    const Partition& added = MapSlot(4);
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        const bool count = i >= 4 && i < 8;
        const bool start = i >= 8 && i < 12;
        const bool sizes = (i >= 12 && i < 16) || (i >= 84 && i < 88);
        const bool status = i >= 88 && i < 92;
        const bool name = i >= 16 && i < 16 + 21; // "Apple_HFS_Untitled_2" and its NUL
        const bool type = i >= 48 && i < 48 + 10; // "Apple_HFS" and its NUL
        if (!(count || sizes || status || name || type)) {
            EXPECT_EQ(hfs.bytes[i], old.bytes[i]) << "converted entry, byte " << i;
        }
        if (!(count || start || sizes)) {
            EXPECT_EQ(added.bytes[i], old.bytes[i]) << "new free entry, byte " << i;
        }
    }
    EXPECT_EQ(hfs.pmPartName(), "Apple_HFS_Untitled_2");
    EXPECT_EQ(hfs.pmParType(), "Apple_HFS");
    EXPECT_EQ(hfs.pmPartStatus(), kHFSPartitionStatus);
    EXPECT_EQ(added.pmPartName(), "Extra");
    EXPECT_EQ(added.pmParType(), "Apple_Free");
    EXPECT_EQ(added.pmPartStatus(), old.pmPartStatus());
}

TEST_F(MapExtension, MergedFreeEntriesAreConvertedAsOne) {
    Load(MapImageBuilder(0x0FFFFFFF)
             .addHFS("A", 64, 999936)
             .addFree(1000000, 500000)
             .add({"Spare", "Apple_Free", 1500000, 266935455})
             .build());
    ASSERT_EQ(ExtendMapImage(kWorkedDriveBytes), MapOutcome::readyToHandOver);
    EXPECT_EQ(MapSlot(1).pmMapBlkCnt(), 4u);
    EXPECT_EQ(MapSlot(3).pmPyPartStart(), 1000000u);
    EXPECT_EQ(MapSlot(3).pmPartBlkCnt(), kWorkedBlocks - 1000000 - 17);
    EXPECT_EQ(MapSlot(4).pmPartName(), "Extra");
    EXPECT_EQ(MapSlot(4).pmPyPartStart(), kWorkedBlocks - 17);
    EXPECT_FALSE(IsPartitionEntry(MapSlot(5)));
}

TEST_F(MapExtension, TheNewVolumeIsNumberedAfterTheHFSEntries) {
    struct Case {
        MapImageBuilder builder;
        const char* name;
    };
    Case cases[] = {
        {MapImageBuilder(0x0FFFFFFF), "Apple_HFS_Untitled_1"},
        {MapImageBuilder(0x0FFFFFFF).addHFS("A", 64, 100), "Apple_HFS_Untitled_2"},
        {MapImageBuilder(0x0FFFFFFF).add({"B", "Apple_HFSX", 64, 100}).addHFS("C", 164, 100),
         "Apple_HFS_Untitled_3"},
    };
    for (Case& c : cases) {
        std::memset(myIOBuffer, 0, kIOBufferSize);
        Load(c.builder.addFree(1000, 1000).build());
        ASSERT_EQ(ExtendMapImage(kWorkedDriveBytes), MapOutcome::readyToHandOver) << c.name;
        const UInt32 n = MapSlot(1).pmMapBlkCnt();
        EXPECT_EQ(MapSlot(n - 1).pmPartName(), c.name);
    }
}

TEST_F(MapExtension, BoundaryMapsThatAreExtended) {
    struct Case {
        const char* what;
        MapImage image;
        SInt64 driveBytes;
        UInt32 newVolumeBlocks;
    };
    MapImageBuilder full(0x0FFFFFFF);
    for (UInt32 k = 2; k <= 61; ++k) {
        full.addHFS("V", 1000 * k, 1000);
    }
    full.addFree(100000, 10).addFree(100010, 20); // merges into 62 entries
    const Case cases[] = {
        {"the map partition just holds the new entry",
         MapImageBuilder(0x0FFFFFFF, 4).addHFS("A", 64, 100).addFree(164, 1000).build(),
         kWorkedDriveBytes, kWorkedBlocks - 164 - 17},
        {"one block for the new volume", MapImageBuilder(0x0FFFFFFF).addFree(1000, 5).build(),
         (1000 + 18) * 512LL, 1},
        {"the largest drive a map can describe",
         MapImageBuilder(0x0FFFFFFF).addFree(1000, 5).build(), 0xFFFFFFFFLL * 512 + 511,
         0xFFFFFFFF - 1000 - 17},
        {"a full map made room for by the merge", full.build(), kWorkedDriveBytes,
         kWorkedBlocks - 100000 - 17},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::memset(myIOBuffer, 0, kIOBufferSize);
        Load(c.image);
        ASSERT_EQ(ExtendMapImage(c.driveBytes), MapOutcome::readyToHandOver);
        const UInt32 n = MapSlot(1).pmMapBlkCnt();
        EXPECT_EQ(MapSlot(n - 1).pmPartBlkCnt(), c.newVolumeBlocks);
        EXPECT_EQ(MapSlot(n).pmPartBlkCnt(), 16u);
        EXPECT_EQ(UInt64(MapSlot(n).pmPyPartStart()) + 17, UInt64(c.driveBytes) >> 9);
        EXPECT_EQ(MapSlot(n).pmMapBlkCnt(), n);
        EXPECT_TRUE(BufferBehindImageIsZero());
    }
}

// Refused maps: the outcome tells why, and the image holds no part of a
// conversion. Only the descriptor's block count is new (the maps here have
// nothing to merge).
TEST_F(MapExtension, RefusedMapsAreLeftAsRead) {
    struct Case {
        const char* what;
        MapImage image;
        SInt64 driveBytes;
        MapOutcome outcome;
    };
    MapImageBuilder full(0x0FFFFFFF);
    for (UInt32 k = 2; k <= 62; ++k) {
        full.addHFS("V", 1000 * k, 1000);
    }
    full.addFree(100000, 10);
    MapImageBuilder fullEndingInHFS(0x0FFFFFFF);
    for (UInt32 k = 2; k <= 63; ++k) {
        fullEndingInHFS.addHFS("V", 1000 * k, 1000);
    }
    MapImage noMapEntry = MapImageBuilder(0x0FFFFFFF).addFree(1000, 5).build();
    noMapEntry.slot(1).setPmParType("Apple_Driver43");
    MapImage noSignature = WorkedExampleMap().build();
    noSignature.slot(1).setPmSig(0x4D50);

    const Case cases[] = {
        {"no signature in slot 1", noSignature, kWorkedDriveBytes, MapOutcome::noValidMap},
        {"a map ending in HFS",
         MapImageBuilder(0x0FFFFFFF).addFree(64, 100).addHFS("A", 164, 1000).build(),
         kWorkedDriveBytes, MapOutcome::lastPartitionNotFree},
        {"a full map ending in HFS", fullEndingInHFS.build(), kWorkedDriveBytes,
         MapOutcome::lastPartitionNotFree},
        {"one block behind the free entry, whoever made it",
         MapImageBuilder(0x0FFFFFFF).addFree(1000, kWorkedBlocks - 1001).build(), kWorkedDriveBytes,
         MapOutcome::alreadyUpdated},
        {"all 63 slots in use", full.build(), kWorkedDriveBytes, MapOutcome::noRoomForEntry},
        {"the map partition ends at the last entry",
         MapImageBuilder(0x0FFFFFFF, 3).addHFS("A", 64, 100).addFree(164, 1000).build(),
         kWorkedDriveBytes, MapOutcome::noRoomForEntry},
        {"no map partition", noMapEntry, kWorkedDriveBytes, MapOutcome::noRoomForEntry},
        {"17 blocks left behind the free entry's start",
         MapImageBuilder(0x0FFFFFFF).addFree(1000, 5).build(), (1000 + 17) * 512LL,
         MapOutcome::notEnoughFreeSpace},
        {"a free entry starting beyond the drive's end",
         MapImageBuilder(0x0FFFFFFF).addFree(5000, 5).build(), 1000 * 512LL,
         MapOutcome::notEnoughFreeSpace},
        {"2^32 blocks", MapImageBuilder(0x0FFFFFFF).addFree(1000, 5).build(), SInt64(1) << 41,
         MapOutcome::driveTooLarge},
        {"3 TB", WorkedExampleMap().build(), 3000592982016LL, MapOutcome::driveTooLarge},
        {"2^32 blocks more than a drive the free entry ends one block before",
         MapImageBuilder(0x0FFFFFFF).addFree(1000, 5).build(), ((SInt64(1) << 32) + 1006) * 512,
         MapOutcome::driveTooLarge},
        {"a volume listed before the free space but lying behind it",
         MapImageBuilder(0x0FFFFFFF).addHFS("A", 5000, 1000).addFree(1000, 4000).build(),
         kWorkedDriveBytes, MapOutcome::freeOverlapsPartition},
        {"a volume reaching into the free space",
         MapImageBuilder(0x0FFFFFFF).addHFS("A", 64, 2000).addFree(1000, 4000).build(),
         kWorkedDriveBytes, MapOutcome::freeOverlapsPartition},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::memset(myIOBuffer, 0, kIOBufferSize);
        Load(c.image);
        ASSERT_EQ(ExtendMapImage(c.driveBytes), c.outcome);
        MapImage expected = c.image;
        if (c.outcome != MapOutcome::noValidMap) {
            expected.descriptor().setSbBlkCount(UInt32(UInt64(c.driveBytes) >> 9));
        }
        EXPECT_TRUE(SameImage(Image(), expected));
        EXPECT_TRUE(BufferBehindImageIsZero());
    }
}

TEST_F(MapExtension, MergedFreeSpaceInFrontOfAVolumeIsNotConverted) {
    // The layout a map editor leaves with a gap before the first volume: the
    // gap's free entry and the trailing one are neighbours in the map and
    // merge into one that starts in front of the volume.
    Load(MapImageBuilder(0x0FFFFFFF)
             .addHFS("A", 2048, 997953)
             .addFree(64, 1984)
             .addFree(1000001, 267435454)
             .build());
    EXPECT_EQ(ExtendMapImage(kWorkedDriveBytes), MapOutcome::freeOverlapsPartition);
    EXPECT_EQ(MapSlot(1).pmMapBlkCnt(), 3u);
    EXPECT_FALSE(IsPartitionEntry(MapSlot(4)));
}

TEST_F(MapExtension, AnEntryLeftBehindTheRunStillBlocksAnOverlappingVolume) {
    // The disk's count stops the merge walk short, and the deletion of the
    // merge cuts the volume in slot 4 off the run of entries.
    MapImage image = MapImageBuilder(0x0FFFFFFF)
                         .addFree(64, 936)
                         .addFree(1000, 1000)
                         .addHFS("A", 5000, 1000)
                         .build();
    image.slot(1).setPmMapBlkCnt(2);
    Load(image);
    EXPECT_EQ(ExtendMapImage(kWorkedDriveBytes), MapOutcome::freeOverlapsPartition);
}

TEST(MapOutcomes, EveryOutcomeButTheHandOverHasOneAlert) {
    const MapOutcome all[] = {
        MapOutcome::readFailed,
        MapOutcome::noValidMap,
        MapOutcome::lastPartitionNotFree,
        MapOutcome::alreadyUpdated,
        MapOutcome::driveTooLarge,
        MapOutcome::noRoomForEntry,
        MapOutcome::notEnoughFreeSpace,
        MapOutcome::freeOverlapsPartition,
        MapOutcome::readyToHandOver,
        MapOutcome::accepted,
        MapOutcome::refused,
    };
    EXPECT_EQ(MapOutcomeAlerts().size(), std::size(all) - 1);
    for (MapOutcome outcome : all) {
        const OutcomeAlert* alert = FindOutcomeAlert(outcome);
        if (outcome == MapOutcome::readyToHandOver) {
            EXPECT_EQ(alert, nullptr);
            continue;
        }
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->outcome, outcome);
        const bool note = outcome == MapOutcome::alreadyUpdated || outcome == MapOutcome::accepted;
        EXPECT_EQ(alert->kind, note ? 1 : 0);
        EXPECT_EQ(alert->secondary != nullptr, outcome == MapOutcome::accepted);
    }
}
