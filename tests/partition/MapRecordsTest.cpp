#include "partition/MapRecords.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

namespace {

template <typename Record, typename T> struct IntegerField {
    const char* name;
    std::size_t offset;
    T (Record::*get)() const;
    void (Record::*set)(T);
};

// Writes a distinct value into one field of a record filled with a pattern
// and checks that exactly the field's bytes changed, most significant first.
template <typename Record, typename T> void CheckField(const IntegerField<Record, T>& field) {
    SCOPED_TRACE(field.name);
    Record record;
    std::memset(record.bytes, 0xA5, sizeof record.bytes);
    const T value = static_cast<T>(sizeof(T) == 2 ? 0x1234 : 0x12345678) + T(field.offset);
    (record.*field.set)(value);
    EXPECT_EQ((record.*field.get)(), value);
    for (std::size_t i = 0; i < sizeof record.bytes; ++i) {
        const bool inField = i >= field.offset && i < field.offset + sizeof(T);
        const UInt8 expected =
            inField ? UInt8(value >> (8 * (sizeof(T) - 1 - (i - field.offset)))) : 0xA5;
        ASSERT_EQ(record.bytes[i], expected) << "byte " << i;
    }
}

} // namespace

TEST(MapRecords, Block0FieldsAreBigEndianAtTheirOffsets) {
    const IntegerField<Block0, UInt16> fields16[] = {
        {"sbSig", 0, &Block0::sbSig, &Block0::setSbSig},
        {"sbBlkSize", 2, &Block0::sbBlkSize, &Block0::setSbBlkSize},
        {"sbDevType", 8, &Block0::sbDevType, &Block0::setSbDevType},
        {"sbDevId", 10, &Block0::sbDevId, &Block0::setSbDevId},
        {"sbDrvrCount", 16, &Block0::sbDrvrCount, &Block0::setSbDrvrCount},
    };
    const IntegerField<Block0, UInt32> fields32[] = {
        {"sbBlkCount", 4, &Block0::sbBlkCount, &Block0::setSbBlkCount},
        {"sbData", 12, &Block0::sbData, &Block0::setSbData},
    };
    for (const auto& f : fields16) {
        CheckField(f);
    }
    for (const auto& f : fields32) {
        CheckField(f);
    }
}

TEST(MapRecords, PartitionFieldsAreBigEndianAtTheirOffsets) {
    using P = Partition;
    const IntegerField<P, UInt16> fields16[] = {
        {"pmSig", 0, &P::pmSig, &P::setPmSig},
        {"pmSigPad", 2, &P::pmSigPad, &P::setPmSigPad},
    };
    const IntegerField<P, UInt32> fields32[] = {
        {"pmMapBlkCnt", 4, &P::pmMapBlkCnt, &P::setPmMapBlkCnt},
        {"pmPyPartStart", 8, &P::pmPyPartStart, &P::setPmPyPartStart},
        {"pmPartBlkCnt", 12, &P::pmPartBlkCnt, &P::setPmPartBlkCnt},
        {"pmLgDataStart", 80, &P::pmLgDataStart, &P::setPmLgDataStart},
        {"pmDataCnt", 84, &P::pmDataCnt, &P::setPmDataCnt},
        {"pmPartStatus", 88, &P::pmPartStatus, &P::setPmPartStatus},
        {"pmLgBootStart", 92, &P::pmLgBootStart, &P::setPmLgBootStart},
        {"pmBootSize", 96, &P::pmBootSize, &P::setPmBootSize},
        {"pmBootAddr", 100, &P::pmBootAddr, &P::setPmBootAddr},
        {"pmBootAddr2", 104, &P::pmBootAddr2, &P::setPmBootAddr2},
        {"pmBootEntry", 108, &P::pmBootEntry, &P::setPmBootEntry},
        {"pmBootEntry2", 112, &P::pmBootEntry2, &P::setPmBootEntry2},
        {"pmBootCksum", 116, &P::pmBootCksum, &P::setPmBootCksum},
    };
    for (const auto& f : fields16) {
        CheckField(f);
    }
    for (const auto& f : fields32) {
        CheckField(f);
    }
}

TEST(MapRecords, SignaturesAreStoredMostSignificantByteFirst) {
    Partition p{};
    p.setPmSig(kPartitionEntrySignature);
    EXPECT_EQ(p.bytes[0], 0x50);
    EXPECT_EQ(p.bytes[1], 0x4D);
    EXPECT_TRUE(IsPartitionEntry(p));
    p.bytes[0] = 0x4D; // 'MP': the signature read the wrong way round
    p.bytes[1] = 0x50;
    EXPECT_FALSE(IsPartitionEntry(p));

    Block0 b{};
    b.setSbSig(kDriverDescriptorSignature);
    EXPECT_EQ(b.bytes[0], 'E');
    EXPECT_EQ(b.bytes[1], 'R');
}

TEST(MapRecords, TextFieldsRunToTheFirstNulWithinTheirWidth) {
    Partition p;
    std::memset(p.bytes, 'x', sizeof p.bytes);
    // No NUL at all: the text fills the whole field and stops at its end.
    EXPECT_EQ(p.pmPartName(), std::string(32, 'x'));
    EXPECT_EQ(p.pmParType(), std::string(32, 'x'));
    EXPECT_EQ(p.pmProcessor(), std::string(16, 'x'));

    std::memcpy(p.bytes + 48, "Apple_HFS\0junk", 14);
    EXPECT_EQ(p.pmParType(), "Apple_HFS");
}

TEST(MapRecords, WritingATextLeavesTheBytesBehindItsNul) {
    Partition p;
    std::memset(p.bytes, 'x', sizeof p.bytes);
    p.setPmPartName("Vol");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(p.bytes + 16), 6), std::string("Vol\0xx", 6));
    EXPECT_EQ(p.bytes[15], 'x');
    EXPECT_EQ(p.pmPartName(), "Vol");

    // A text too long for the field is cut so that its NUL still fits.
    p.setPmParType(std::string(40, 'T'));
    EXPECT_EQ(p.pmParType(), std::string(31, 'T'));
    EXPECT_EQ(p.bytes[48 + 31], 0);
    EXPECT_EQ(p.bytes[48 + 32], 'x');
}

TEST(MapRecords, FreeAndHFSAreSubstringChecksOnTheType) {
    struct Case {
        const char* type;
        bool free;
        bool hfs;
    };
    const Case cases[] = {
        {"Apple_Free", true, false},
        {"xxApple_Freeyy", true, false},
        {"Apple_HFS", false, true},
        {"Apple_HFSX", false, true},
        {"Apple_HFS_Untitled", false, true},
        {"", false, false},
        {"Apple_partition_map", false, false},
        {"apple_free", false, false},
        {"Apple_UNIX_SVR2", false, false},
    };
    for (const Case& c : cases) {
        Partition p{};
        p.setPmParType(c.type);
        EXPECT_EQ(PartitionIsFree(p), c.free) << c.type;
        EXPECT_EQ(PartitionIsHFS(p), c.hfs) << c.type;
    }
    // Text behind the type's NUL is not part of it.
    Partition p{};
    std::memcpy(p.bytes + 48, "x\0Apple_Free Apple_HFS", 22);
    EXPECT_FALSE(PartitionIsFree(p));
    EXPECT_FALSE(PartitionIsHFS(p));
}
