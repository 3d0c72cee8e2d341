#include "format/NumberText.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(NumberText, UnsignedDecimal) {
    struct Case {
        UInt64 value;
        const char* text;
    };
    for (const Case& c : std::vector<Case>{{0, "0"},
                                           {7, "7"},
                                           {10, "10"},
                                           {1000, "1000"},
                                           {UINT64_MAX, "18446744073709551615"}}) {
        char out[kUInt64TextRoom];
        UInt64ToCStr(c.value, out);
        EXPECT_STREQ(out, c.text) << c.value;
    }
}

TEST(NumberText, SignedDecimal) {
    struct Case {
        SInt64 value;
        const char* text;
    };
    for (const Case& c : std::vector<Case>{{0, "0"},
                                           {-1, "-1"},
                                           {-10, "-10"},
                                           {INT64_MAX, "9223372036854775807"},
                                           {INT64_MIN, "-9223372036854775808"}}) {
        char out[kSInt64TextRoom];
        SInt64ToCStr(c.value, out);
        EXPECT_STREQ(out, c.text) << c.value;
    }
}

TEST(NumberText, SixteenHexDigitsOfTheTwosComplement) {
    struct Case {
        SInt64 value;
        const char* text;
    };
    for (const Case& c : std::vector<Case>{{1, "0000000000000001"},
                                           {-1, "FFFFFFFFFFFFFFFF"},
                                           {0x0123456789ABCDEF, "0123456789ABCDEF"},
                                           {INT64_MIN, "8000000000000000"}}) {
        char out[kSInt64HexTextRoom];
        SInt64ToHexCStr(c.value, out);
        EXPECT_STREQ(out, c.text) << c.value;
    }
}

TEST(NumberText, BufferInHexHighHalfFirst) {
    const UInt8 bytes[] = {0x0A, 0xFF, 0x00, 0x5C};
    char out[9];
    Buffer2HexCStr(bytes, 4, out);
    EXPECT_STREQ(out, "0AFF005C");
    Buffer2HexCStr(bytes, 2, out);
    EXPECT_STREQ(out, "0AFF");
    Buffer2HexCStr(bytes, 0, out);
    EXPECT_STREQ(out, "");
}

TEST(NumberText, StripLeadingZeros) {
    struct Case {
        const char* before;
        const char* after;
    };
    for (const Case& c :
         std::vector<Case>{{"000", ""}, {"00A0", "A0"}, {"A00", "A00"}, {"", ""}, {"0001", "1"}}) {
        std::string text = c.before;
        StripLeadingZeros(text.data());
        EXPECT_STREQ(text.c_str(), c.after) << c.before;
    }
    StripLeadingZeros(nullptr);
}

TEST(NumberText, Reverse) {
    for (std::string text : {"", "a", "ab", "abc", "18446744073709551615"}) {
        std::string expected(text.rbegin(), text.rend());
        reverse(text.data());
        EXPECT_EQ(text, expected);
    }
}

TEST(NumberText, DigitsSignAndLowByte) {
    EXPECT_EQ(GetDigit(0), '0');
    EXPECT_EQ(GetDigit(9), '9');
    EXPECT_EQ(GetDigit(10), 'A');
    EXPECT_EQ(GetDigit(15), 'F');

    UInt8 image[8];
    SInt64ToBigEndianImage(-1, image);
    EXPECT_TRUE(IsNumNegative(image));
    SInt64ToBigEndianImage(0, image);
    EXPECT_FALSE(IsNumNegative(image));
    SInt64ToBigEndianImage(INT64_MAX, image);
    EXPECT_FALSE(IsNumNegative(image));
    SInt64ToBigEndianImage(0x0102030405060708, image);
    EXPECT_EQ(image[0], 0x01);
    EXPECT_EQ(image[7], 0x08);

    EXPECT_EQ(UInt64GetLowByte(0x1234), 0x34);
}

} // namespace
