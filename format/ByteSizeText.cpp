// The count is divided by 1024 while it is at least 1024; the number shown is
// the final quotient plus the last remainder as a fraction, so the unit
// changes only at 1024 of the smaller unit (1,048,575 bytes read 1024.0 KB).
#include "format/ByteSizeText.h"

#include "format/NumberText.h"
#include "platform/toolbox/Math64.h"

#include <cstdio>
#include <cstring>
#include <limits>

namespace {

// The format for each count of divisions. A signed 64-bit count needs at
// most six; the table runs on to the largest units all the same.
constexpr const char* kUnitFormats[] = {"%.1f B",  "%.1f KB", "%.1f MB", "%.1f GB", "%.1f TB",
                                        "%.1f PB", "%.1f EB", "%.1f ZB", "%.1f YB"};
constexpr SInt16 kUnitCount = sizeof kUnitFormats / sizeof kUnitFormats[0];

} // namespace

void BytesSInt64ToCStrWLabel(SInt64 value, char* out) {
    UInt8 image[8];
    SInt64ToBigEndianImage(value, image);
    bool negative = IsNumNegative(image);
    // -2^63 has no positive counterpart; it reads as -(2^63 - 1).
    if (value == std::numeric_limits<SInt64>::min())
        value += 1;
    if (negative)
        value = -value;

    SInt16 divisions = 0;
    SInt64 remainder = 0;
    while (S64Compare(value, 1024) >= 0) {
        ++divisions;
        remainder = value % 1024;
        value /= 1024;
    }
    // Both parts are below 1024 and the fraction has at most ten bits, so the
    // sum is exact in single precision.
    float shown = static_cast<float>(remainder) * 0.0009765625f + static_cast<float>(value);

    char scratch[256];
    if (divisions < kUnitCount)
        std::snprintf(scratch, sizeof scratch, kUnitFormats[divisions], static_cast<double>(shown));
    else
        std::strcpy(scratch, "???");
    std::snprintf(out, kByteSizeTextRoom, negative ? "-%s" : "%s", scratch);
}
