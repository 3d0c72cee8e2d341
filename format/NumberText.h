// Decimal and hexadecimal text of 64-bit numbers and byte buffers, built
// digit by digit into the caller's buffer. No routine is told the size of its
// buffer; each needs at most the room given here.
#pragma once

#include "platform/MacTypes.h"

// Room the caller provides, terminator included.
constexpr int kUInt64TextRoom = 21;    // the 20 digits of 2^64 - 1
constexpr int kSInt64TextRoom = 21;    // '-' and the 19 digits of 2^63
constexpr int kSInt64HexTextRoom = 17; // 16 digits
// Buffer2HexCStr needs 2 * count + 1 bytes.

// The eight bytes of value, most significant first, whatever the host's order.
void SInt64ToBigEndianImage(SInt64 value, UInt8 image[8]);

// 1 when the top bit of the byte at bytes is set: given a signed number's
// big-endian image, whether it is below zero.
Boolean IsNumNegative(const UInt8* bytes);

// '0' to '9' for 0 to 9; any other value gives the character value + 55
// (low 8 bits), so 10 to 15 give 'A' to 'F'.
char GetDigit(SInt16 value);

// The low 8 bits of value.
UInt8 UInt64GetLowByte(UInt64 value);

// Reverses a NUL-terminated string in place.
void reverse(char* str);

// Removes the leading '0' characters of a NUL-terminated string in place;
// null is ignored. "000" becomes the empty text.
void StripLeadingZeros(char* str);

// Unsigned decimal, no leading zeros (0 gives "0").
void UInt64ToCStr(UInt64 value, char* out);

// Signed decimal with a leading '-' when negative.
void SInt64ToCStr(SInt64 value, char* out);

// Exactly 16 upper-case hexadecimal digits of the two's-complement value.
void SInt64ToHexCStr(SInt64 value, char* out);

// Two upper-case hexadecimal digits per byte, high half first, no separators.
void Buffer2HexCStr(const UInt8* data, UInt32 count, char* out);
