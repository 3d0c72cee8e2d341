#include "format/ByteSizeText.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(ByteSizeText, UnitsOf1024WithOneDecimal) {
    struct Case {
        SInt64 bytes;
        const char* text;
    };
    const std::vector<Case> cases = {
        {0, "0.0 B"},
        {1023, "1023.0 B"},
        {1024, "1.0 KB"},
        // Exact halves of the last division go to the even tenth.
        {1280, "1.2 KB"},
        {1536, "1.5 KB"},
        {1792, "1.8 KB"},
        {2304, "2.2 KB"},
        {2047, "2.0 KB"},
        // The unit changes only at 1024 of the smaller unit.
        {1048575, "1024.0 KB"},
        {1048576, "1.0 MB"},
        {137438953471, "128.0 GB"},
        {137438953472, "128.0 GB"},
        {160041885696, "149.0 GB"},
        {250059350016, "232.9 GB"},
        {INT64_MAX, "8.0 EB"},
        {-1, "-1.0 B"},
        {-1536, "-1.5 KB"},
        {-1048575, "-1024.0 KB"},
        {INT64_MIN, "-8.0 EB"},
    };
    for (const Case& c : cases) {
        // Exactly the room the routine asks for, so an overrun shows under ASan.
        char out[kByteSizeTextRoom];
        BytesSInt64ToCStrWLabel(c.bytes, out);
        EXPECT_STREQ(out, c.text) << c.bytes;
    }
}

} // namespace
