// Reading and writing big-endian integers at a byte position, whatever the
// host's byte order: the on-disk records are always most significant byte first.
#pragma once

#include "platform/MacTypes.h"

inline UInt16 GetBigEndian16(const UInt8* p) {
    return UInt16(p[0] << 8 | p[1]);
}

inline UInt32 GetBigEndian32(const UInt8* p) {
    return UInt32(p[0]) << 24 | UInt32(p[1]) << 16 | UInt32(p[2]) << 8 | UInt32(p[3]);
}

inline void SetBigEndian16(UInt8* p, UInt16 value) {
    p[0] = UInt8(value >> 8);
    p[1] = UInt8(value);
}

inline void SetBigEndian32(UInt8* p, UInt32 value) {
    p[0] = UInt8(value >> 24);
    p[1] = UInt8(value >> 16);
    p[2] = UInt8(value >> 8);
    p[3] = UInt8(value);
}
