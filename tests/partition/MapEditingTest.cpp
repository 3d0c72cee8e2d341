#include "partition/MapEditing.h"

#include "MapBufferFixture.h"

#include <cstring>

namespace {

// A block that is not an entry but holds something, as a disk may have behind its map.
void FillWithJunk(Partition& slot) {
    std::memset(slot.bytes, 0x5A, kBlockSize);
}

} // namespace

using MapEditing = MapBufferTest;

TEST_F(MapEditing, RecountOfAnImageWithoutEntriesWritesNothing) {
    MapImage image = MapImageBuilder(1000).build();
    image.slot(1).setPmSig(0);
    image.slot(2).setPmSig(kPartitionEntrySignature); // not reached: slot 1 ends the run
    Load(image);
    EXPECT_EQ(UpdatePMCount(), 0u);
    EXPECT_TRUE(SameImage(Image(), image));
}

TEST_F(MapEditing, RecountWritesTheCountIntoEveryEntryAndNothingElse) {
    MapImage image = MapImageBuilder(1000).addHFS("A", 64, 10).addFree(74, 900).build();
    for (UInt32 k = 1; k <= 3; ++k) {
        image.slot(k).setPmMapBlkCnt(7 * k);
    }
    FillWithJunk(image.slot(4));
    image.slot(4).setPmSig(0x504E);
    Load(image);
    EXPECT_EQ(UpdatePMCount(), 3u);
    for (UInt32 k = 1; k <= 3; ++k) {
        image.slot(k).setPmMapBlkCnt(3);
    }
    EXPECT_TRUE(SameImage(Image(), image));
}

TEST_F(MapEditing, AllSlotsInUseCountAs63AndTheScanStopsAtBlock64) {
    MapImageBuilder builder(100000);
    for (UInt32 k = 2; k <= 63; ++k) {
        builder.addHFS("V", 1000 * k, 1000);
    }
    Load(builder.build());
    EXPECT_EQ(UpdatePMCount(), 63u);
    EXPECT_EQ(CountHFS(), 62);
    EXPECT_TRUE(BufferBehindImageIsZero());
}

TEST_F(MapEditing, MergingTwoTrailingFreeEntriesKeepsTheFirst) {
    MapImage image =
        MapImageBuilder(1000).addHFS("A", 64, 100).addFree(164, 10).addFree(174, 20).build();
    image.slot(3).setPmDataCnt(3); // the merged data count is the sum of the block counts
    image.slot(3).setPmPartStatus(0x12345678);
    FillWithJunk(image.slot(5)); // what lay behind the map
    Load(image);

    EXPECT_EQ(CollectFree(), 3u);

    MapImage expected = image;
    Partition& merged = expected.slot(3);
    merged.setPmPartBlkCnt(30);
    merged.setPmDataCnt(30);
    std::memcpy(&expected.slot(4), &image.slot(5), kBlockSize);
    std::memset(&expected.slot(5), 0, kBlockSize);
    for (UInt32 k = 1; k <= 3; ++k) {
        expected.slot(k).setPmMapBlkCnt(3);
    }
    EXPECT_TRUE(SameImage(Image(), expected));
    EXPECT_TRUE(BufferBehindImageIsZero());
}

TEST_F(MapEditing, MergeRuns) {
    struct Case {
        const char* what;
        std::vector<MapEntrySpec> entries;
        std::vector<UInt32> counts; // block counts of the entries after the merge, from slot 2
    };
    const MapEntrySpec free1{"Extra", "Apple_Free", 100, 1};
    const MapEntrySpec free2{"Extra", "Apple_Free", 101, 2};
    const MapEntrySpec free4{"Extra", "xApple_Free", 103, 4};
    const MapEntrySpec hfs{"V", "Apple_HFS", 107, 8};
    const Case cases[] = {
        {"three in a row become one", {free1, free2, free4}, {7}},
        {"separated by HFS stay apart", {free1, hfs, free2}, {1, 8, 2}},
        {"a run before and after HFS", {free1, free2, hfs, free2, free4}, {3, 8, 6}},
        {"nothing to merge", {hfs, free1}, {8, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::memset(myIOBuffer, 0, kIOBufferSize);
        MapImageBuilder builder(1000);
        for (const MapEntrySpec& e : c.entries) {
            builder.add(e);
        }
        Load(builder.build());
        const UInt32 expectedCount = UInt32(c.counts.size()) + 1;
        EXPECT_EQ(CollectFree(), expectedCount);
        for (UInt32 k = 2; k <= expectedCount; ++k) {
            EXPECT_EQ(MapSlot(k).pmPartBlkCnt(), c.counts[k - 2]) << "slot " << k;
            EXPECT_EQ(MapSlot(k).pmMapBlkCnt(), expectedCount);
        }
        EXPECT_FALSE(IsPartitionEntry(MapSlot(expectedCount + 1)));
    }
}

TEST_F(MapEditing, ASmallMapCountLimitsTheMergeWalkButNotTheRecount) {
    MapImage image =
        MapImageBuilder(1000).addHFS("A", 64, 100).addFree(164, 10).addFree(174, 20).build();
    image.slot(1).setPmMapBlkCnt(2); // the walk covers slots 1 and 2 only
    Load(image);
    EXPECT_EQ(CollectFree(), 4u);
    EXPECT_EQ(MapSlot(3).pmPartBlkCnt(), 10u);
    EXPECT_EQ(MapSlot(4).pmPartBlkCnt(), 20u);
    EXPECT_EQ(MapSlot(1).pmMapBlkCnt(), 4u);
}

// The map's count comes from the disk. Any value above 63 walks only over
// the zero-filled blocks behind the image and must give the image that 63
// gives, without a walk leaving the buffer.
TEST_F(MapEditing, MapCountsAbove63GiveTheSameImageAs63) {
    MapImageBuilder builder(100000);
    for (UInt32 k = 2; k <= 61; ++k) {
        builder.addHFS("V", 1000 * k, 1000);
    }
    builder.addFree(70000, 10).addFree(70010, 20);
    const MapImage base = builder.build();

    auto runWith = [&](UInt32 mapCount) {
        std::memset(myIOBuffer, 0, kIOBufferSize);
        MapImage image = base;
        image.slot(1).setPmMapBlkCnt(mapCount);
        Load(image);
        EXPECT_EQ(CountHFS(), 60) << mapCount;
        EXPECT_EQ(CollectFree(), 62u) << mapCount;
        EXPECT_TRUE(BufferBehindImageIsZero()) << mapCount;
        return Image();
    };
    const MapImage with63 = runWith(63);
    EXPECT_EQ(with63.slot(62).pmPartBlkCnt(), 30u);
    for (UInt32 mapCount : {64u, 100u, 2046u, 2047u, 2048u, 0xFFFFFFFFu}) {
        EXPECT_TRUE(SameImage(runWith(mapCount), with63)) << mapCount;
    }
}

TEST_F(MapEditing, CountHFSCountsLongerNamesUpToTheMapCount) {
    MapImage image = MapImageBuilder(1000)
                         .addHFS("A", 64, 10)
                         .add({"B", "Apple_HFSX", 74, 10})
                         .addFree(84, 10)
                         .addHFS("C", 94, 10)
                         .build();
    Load(image);
    EXPECT_EQ(CountHFS(), 3);
    image.slot(1).setPmMapBlkCnt(3);
    Load(image);
    EXPECT_EQ(CountHFS(), 2);
}

TEST_F(MapEditing, DeletionMovesLaterEntriesDownAndClearsTheSlotBehind) {
    const MapImage image =
        MapImageBuilder(1000).addHFS("A", 64, 10).addHFS("B", 74, 10).addHFS("C", 84, 10).build();
    Load(image);
    EXPECT_EQ(DeletePartition(2), 3u);
    MapImage expected = image;
    std::memcpy(&expected.slot(2), &image.slot(3), kBlockSize);
    std::memcpy(&expected.slot(3), &image.slot(4), kBlockSize);
    std::memset(&expected.slot(4), 0, kBlockSize);
    for (UInt32 k = 1; k <= 3; ++k) {
        expected.slot(k).setPmMapBlkCnt(3);
    }
    EXPECT_TRUE(SameImage(Image(), expected));
}

TEST_F(MapEditing, DeletingTheLastEntryBringsInTheBlockBehindTheMap) {
    MapImage image = MapImageBuilder(1000).addHFS("A", 64, 10).addHFS("B", 74, 10).build();
    FillWithJunk(image.slot(4));
    Load(image);
    EXPECT_EQ(DeletePartition(3), 2u);
    MapImage expected = image;
    std::memcpy(&expected.slot(3), &image.slot(4), kBlockSize);
    std::memset(&expected.slot(4), 0, kBlockSize);
    expected.slot(1).setPmMapBlkCnt(2);
    expected.slot(2).setPmMapBlkCnt(2);
    EXPECT_TRUE(SameImage(Image(), expected));
}

TEST_F(MapEditing, DeletionEdgeNumbers) {
    MapImage image = MapImageBuilder(1000).addHFS("A", 64, 10).build();
    FillWithJunk(image.slot(3));
    FillWithJunk(image.slot(4));

    // One past the last entry: only that slot is cleared.
    Load(image);
    EXPECT_EQ(DeletePartition(3), 2u);
    MapImage expected = image;
    std::memset(&expected.slot(3), 0, kBlockSize);
    EXPECT_TRUE(SameImage(Image(), expected));

    // Numbers below 1 name no slot: the descriptor and what lies before the
    // buffer stay untouched.
    for (SInt16 a : {SInt16(0), SInt16(-1), SInt16(-32768)}) {
        Load(image);
        EXPECT_EQ(DeletePartition(a), 2u) << a;
        EXPECT_TRUE(SameImage(Image(), image)) << a;
    }

    // The last slot of a full map takes the zero block 64.
    MapImageBuilder full(100000);
    for (UInt32 k = 2; k <= 63; ++k) {
        full.addHFS("V", 1000 * k, 1000);
    }
    Load(full.build());
    EXPECT_EQ(DeletePartition(63), 62u);
    EXPECT_FALSE(IsPartitionEntry(MapSlot(63)));
    EXPECT_TRUE(BufferBehindImageIsZero());
    EXPECT_EQ(DeletePartition(32767), 62u);
    EXPECT_TRUE(BufferBehindImageIsZero());
}
