// Comparisons of 64-bit integers: -1 when left is below right, 0 when they
// are equal, 1 when left is above.
#pragma once

#include "platform/MacTypes.h"

inline SInt32 S64Compare(SInt64 left, SInt64 right) {
    return (left > right) - (left < right);
}

inline SInt32 U64Compare(UInt64 left, UInt64 right) {
    return (left > right) - (left < right);
}
