#include "platform/corefoundation/CFHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

using cf::Owned;

template <class T> Owned<CFNumberRef> Make(CFNumberType type, T value) {
    return Owned<CFNumberRef>(CFNumberCreate(kCFAllocatorDefault, type, &value));
}

// Stores -2 as the C type of the given width and kind.
void WriteMinusTwo(void* slot, CFIndex byteSize, bool isFloat) {
    if (isFloat && byteSize == 4)
        *static_cast<Float32*>(slot) = -2;
    else if (isFloat)
        *static_cast<Float64*>(slot) = -2;
    else if (byteSize == 1)
        *static_cast<SInt8*>(slot) = -2;
    else if (byteSize == 2)
        *static_cast<SInt16*>(slot) = -2;
    else if (byteSize == 4)
        *static_cast<SInt32*>(slot) = -2;
    else
        *static_cast<SInt64*>(slot) = -2;
}

TEST(Number, EveryTypeCodeKeepsItsTypeWidthAndValue) {
    struct Case {
        CFNumberType type;
        CFIndex byteSize;
        bool isFloat;
    };
    const std::vector<Case> cases = {
        {kCFNumberSInt8Type, 1, false},    {kCFNumberSInt16Type, 2, false},
        {kCFNumberSInt32Type, 4, false},   {kCFNumberSInt64Type, 8, false},
        {kCFNumberFloat32Type, 4, true},   {kCFNumberFloat64Type, 8, true},
        {kCFNumberCharType, 1, false},     {kCFNumberShortType, 2, false},
        {kCFNumberIntType, 4, false},      {kCFNumberLongType, 4, false},
        {kCFNumberLongLongType, 8, false}, {kCFNumberFloatType, 4, true},
        {kCFNumberDoubleType, 8, true},    {kCFNumberCFIndexType, 8, false},
    };
    for (const Case& c : cases) {
        // The value -2 in the type's own width, padded so a wrong width shows.
        alignas(8) UInt8 in[16];
        std::fill(std::begin(in), std::end(in), 0xAA);
        WriteMinusTwo(in, c.byteSize, c.isFloat);
        Owned<CFNumberRef> number(CFNumberCreate(kCFAllocatorDefault, c.type, in));
        ASSERT_TRUE(number) << c.type;
        EXPECT_EQ(CFGetTypeID(number.get()), CFNumberGetTypeID());
        EXPECT_EQ(CFNumberGetType(number.get()), c.type);
        EXPECT_EQ(CFNumberGetByteSize(number.get()), c.byteSize) << c.type;
        EXPECT_EQ(CFNumberIsFloatType(number.get()), c.isFloat) << c.type;

        alignas(8) UInt8 out[16];
        std::fill(std::begin(out), std::end(out), 0x55);
        EXPECT_TRUE(CFNumberGetValue(number.get(), c.type, out)) << c.type;
        EXPECT_EQ(0, std::memcmp(in, out, static_cast<size_t>(c.byteSize))) << c.type;
        EXPECT_EQ(out[c.byteSize], 0x55) << "wrote past the width of type " << c.type;
    }
    SInt32 value = 1;
    EXPECT_EQ(CFNumberCreate(kCFAllocatorDefault, 0, &value), nullptr);
    EXPECT_EQ(CFNumberCreate(kCFAllocatorDefault, 15, &value), nullptr);
}

TEST(Number, ReadingAsAnotherTypeConvertsAndTellsWhetherItWasExact) {
    SInt8 s8;
    SInt16 s16;
    SInt32 s32;
    SInt64 s64;
    Float32 f32;
    Float64 f64;

    auto minusOne = Make<SInt8>(kCFNumberSInt8Type, -1);
    EXPECT_TRUE(CFNumberGetValue(minusOne.get(), kCFNumberSInt64Type, &s64));
    EXPECT_EQ(s64, -1);
    EXPECT_TRUE(CFNumberGetValue(minusOne.get(), kCFNumberFloat64Type, &f64));
    EXPECT_EQ(f64, -1.0);

    auto big = Make<SInt64>(kCFNumberSInt64Type, 300);
    EXPECT_FALSE(CFNumberGetValue(big.get(), kCFNumberSInt8Type, &s8));
    EXPECT_EQ(s8, 44); // the low 8 bits
    EXPECT_TRUE(CFNumberGetValue(big.get(), kCFNumberSInt16Type, &s16));
    EXPECT_EQ(s16, 300);

    auto size = Make<SInt64>(kCFNumberSInt64Type, 160041885696);
    EXPECT_FALSE(CFNumberGetValue(size.get(), kCFNumberSInt32Type, &s32));
    EXPECT_TRUE(CFNumberGetValue(size.get(), kCFNumberFloat64Type, &f64));
    auto beyondDouble = Make<SInt64>(kCFNumberSInt64Type, (SInt64{1} << 53) + 1);
    EXPECT_FALSE(CFNumberGetValue(beyondDouble.get(), kCFNumberFloat64Type, &f64));
    auto largest = Make<SInt64>(kCFNumberSInt64Type, INT64_MAX);
    EXPECT_FALSE(CFNumberGetValue(largest.get(), kCFNumberFloat32Type, &f32));

    auto half = Make<Float64>(kCFNumberFloat64Type, 1.5);
    EXPECT_FALSE(CFNumberGetValue(half.get(), kCFNumberSInt32Type, &s32));
    EXPECT_EQ(s32, 1);
    EXPECT_TRUE(CFNumberGetValue(half.get(), kCFNumberFloat32Type, &f32));
    EXPECT_EQ(f32, 1.5f);
    auto whole = Make<Float32>(kCFNumberFloat32Type, -2.0f);
    EXPECT_TRUE(CFNumberGetValue(whole.get(), kCFNumberSInt16Type, &s16));
    EXPECT_EQ(s16, -2);
    auto tenth = Make<Float64>(kCFNumberFloat64Type, 0.1);
    EXPECT_FALSE(CFNumberGetValue(tenth.get(), kCFNumberFloat32Type, &f32));

    // Out of range: held to the limits, never undefined.
    auto huge = Make<Float64>(kCFNumberFloat64Type, 1e300);
    EXPECT_FALSE(CFNumberGetValue(huge.get(), kCFNumberSInt64Type, &s64));
    EXPECT_EQ(s64, INT64_MAX);
    EXPECT_FALSE(CFNumberGetValue(huge.get(), kCFNumberFloat32Type, &f32));
    EXPECT_TRUE(std::isinf(f32));
    auto nan = Make<Float64>(kCFNumberFloat64Type, std::numeric_limits<double>::quiet_NaN());
    EXPECT_FALSE(CFNumberGetValue(nan.get(), kCFNumberSInt8Type, &s8));
    EXPECT_EQ(s8, 0);

    EXPECT_FALSE(CFNumberGetValue(half.get(), 99, &f64));
}

} // namespace
