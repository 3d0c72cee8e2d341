#include "format/RegistryValueText.h"

#include "platform/corefoundation/CFHelpers.h"
#include "platform/toolbox/MemoryManager.h"

#include <cfloat>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A number of the given type code holding value (converted to that type).
cf::Owned<CFNumberRef> MakeNumber(CFNumberType type, double value) {
    union {
        SInt8 s8;
        SInt16 s16;
        SInt32 s32;
        SInt64 s64;
        Float32 f32;
        Float64 f64;
    } slot;
    switch (type) {
    case kCFNumberSInt8Type:
    case kCFNumberCharType:
        slot.s8 = static_cast<SInt8>(value);
        break;
    case kCFNumberSInt16Type:
    case kCFNumberShortType:
        slot.s16 = static_cast<SInt16>(value);
        break;
    case kCFNumberSInt32Type:
    case kCFNumberIntType:
    case kCFNumberLongType:
        slot.s32 = static_cast<SInt32>(value);
        break;
    case kCFNumberFloat32Type:
    case kCFNumberFloatType:
        slot.f32 = static_cast<Float32>(value);
        break;
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType:
        slot.f64 = value;
        break;
    default:
        slot.s64 = static_cast<SInt64>(value);
        break;
    }
    return cf::Owned<CFNumberRef>(CFNumberCreate(kCFAllocatorDefault, type, &slot));
}

// The text in a buffer of exactly the callers' 256 bytes on the heap, so that
// a write past it shows under ASan; the buffer starts as "untouched".
std::string NumberText(CFNumberRef number, Boolean hex) {
    std::vector<char> out(kRegistryValueTextRoom);
    std::strcpy(out.data(), "untouched");
    ConvertCFNumberToCStr(number, out.data(), hex);
    return out.data();
}

std::string DataText(const std::vector<UInt8>& bytes) {
    cf::Owned<CFDataRef> data(
        CFDataCreate(kCFAllocatorDefault, bytes.data(), static_cast<CFIndex>(bytes.size())));
    std::vector<char> out(kRegistryValueTextRoom);
    std::strcpy(out.data(), "untouched");
    ConvertCFDataToCStr(data.get(), out.data());
    return out.data();
}

TEST(RegistryValueText, EachTypeCodeInItsOwnFormat) {
    struct Case {
        CFNumberType type;
        double value;
        const char* decimal;
        const char* hex;
    };
    const std::vector<Case> cases = {
        {kCFNumberSInt8Type, 65, "A", "AX"},
        {kCFNumberCharType, 65, "A", "AX"},
        {kCFNumberSInt8Type, 0, "", ""},
        {kCFNumberSInt16Type, -1, "-1", "FFFF"},
        {kCFNumberShortType, 255, "255", "FF"},
        {kCFNumberSInt32Type, -1, "-1", "FFFFFFFF"},
        {kCFNumberIntType, 255, "255", "FF"},
        // A long is printed as the 32-bit value it is on the original system.
        {kCFNumberLongType, -1, "-1", "FFFFFFFF"},
        {kCFNumberSInt32Type, 0x1A100000, "437256192", "1A100000"},
        {kCFNumberSInt64Type, 255, "255", "00000000000000FF"},
        {kCFNumberLongLongType, -1, "-1", "FFFFFFFFFFFFFFFF"},
        {kCFNumberFloat32Type, 1.5, "1.500000", "1.500000"},
        {kCFNumberFloatType, -0.25, "-0.250000", "-0.250000"},
        {kCFNumberFloat64Type, 1.5, "1.500000", "1.500000"},
        {kCFNumberDoubleType, 1e6, "1000000.000000", "1000000.000000"},
        // CFIndex numbers are not read: the empty text.
        {kCFNumberCFIndexType, 12, "", ""},
    };
    for (const Case& c : cases) {
        auto number = MakeNumber(c.type, c.value);
        ASSERT_TRUE(number);
        EXPECT_EQ(NumberText(number.get(), false), c.decimal) << c.type << " " << c.value;
        EXPECT_EQ(NumberText(number.get(), true), c.hex) << c.type << " " << c.value;
    }
}

TEST(RegistryValueText, LongestFloatIsCutToTheRoom) {
    // The largest double prints as 309 digits, a point and six decimals.
    char full[400];
    int length = std::snprintf(full, sizeof full, "%f", -DBL_MAX);
    ASSERT_EQ(length, 317);
    auto number = MakeNumber(kCFNumberFloat64Type, -DBL_MAX);
    EXPECT_EQ(NumberText(number.get(), false), std::string(full, 255));
}

TEST(RegistryValueText, DataInHex) {
    EXPECT_EQ(DataText({0x00, 0x01}), "0001");
    EXPECT_EQ(DataText({0xDE, 0xAD, 0xBE, 0xEF}), "DEADBEEF");
    EXPECT_EQ(DataText({}), "");
}

TEST(RegistryValueText, LongDataShowsItsFirst127Bytes) {
    std::vector<UInt8> bytes(200);
    std::string expected;
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<UInt8>(i * 7);
        if (i < 127) {
            char digits[3];
            std::snprintf(digits, sizeof digits, "%02X", bytes[i]);
            expected += digits;
        }
    }
    std::string text = DataText(bytes);
    EXPECT_EQ(text.size(), 254u);
    EXPECT_EQ(text, expected);
}

TEST(RegistryValueText, DataWithoutWorkingBlockGivesEmptyText) {
    SetNewPtrFailureForTesting(true);
    std::string text = DataText({0x12, 0x34});
    SetNewPtrFailureForTesting(false);
    EXPECT_EQ(text, "");
}

} // namespace
