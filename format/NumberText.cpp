// Number texts without library formatting: division by 10 for decimal,
// nibbles for hexadecimal.
#include "format/NumberText.h"

#include "platform/toolbox/Math64.h"

#include <cstring>

void SInt64ToBigEndianImage(SInt64 value, UInt8 image[8]) {
    auto bits = static_cast<UInt64>(value);
    for (int i = 7; i >= 0; --i) {
        image[i] = static_cast<UInt8>(bits);
        bits >>= 8;
    }
}

Boolean IsNumNegative(const UInt8* bytes) {
    return (bytes[0] & 0x80) != 0;
}

char GetDigit(SInt16 value) {
    if (value >= 0 && value <= 9)
        return static_cast<char>('0' + value);
    return static_cast<char>(static_cast<UInt8>(value + ('A' - 10)));
}

UInt8 UInt64GetLowByte(UInt64 value) {
    return static_cast<UInt8>(value);
}

void reverse(char* str) {
    size_t length = std::strlen(str);
    if (length < 2)
        return;
    for (size_t front = 0, back = length - 1; front < back; ++front, --back) {
        char c = str[front];
        str[front] = str[back];
        str[back] = c;
    }
}

void StripLeadingZeros(char* str) {
    if (str == nullptr)
        return;
    size_t length = std::strlen(str);
    size_t zeros = 0;
    while (str[zeros] == '0')
        ++zeros;
    if (zeros > 0)
        std::memmove(str, str + zeros, length - zeros + 1);
}

void UInt64ToCStr(UInt64 value, char* out) {
    // Digits come least significant first, then the text is turned round.
    size_t position = 0;
    do {
        UInt64 remainder = value % 10;
        value /= 10;
        out[position++] = static_cast<char>(UInt64GetLowByte(remainder + '0'));
    } while (U64Compare(value, 0) != 0);
    out[position] = '\0';
    reverse(out);
}

void SInt64ToCStr(SInt64 value, char* out) {
    UInt8 image[8];
    SInt64ToBigEndianImage(value, image);
    if (!IsNumNegative(image)) {
        UInt64ToCStr(static_cast<UInt64>(value), out);
        return;
    }
    // -2^63 negates to itself; taken as unsigned it is 2^63, its magnitude.
    out[0] = '-';
    UInt64ToCStr(UInt64{0} - static_cast<UInt64>(value), out + 1);
}

void SInt64ToHexCStr(SInt64 value, char* out) {
    UInt8 image[8];
    SInt64ToBigEndianImage(value, image);
    Buffer2HexCStr(image, 8, out);
}

void Buffer2HexCStr(const UInt8* data, UInt32 count, char* out) {
    out[2 * static_cast<size_t>(count)] = '\0';
    for (UInt32 i = 0; i < count; ++i) {
        out[2 * static_cast<size_t>(i)] = GetDigit(data[i] >> 4);
        out[2 * static_cast<size_t>(i) + 1] = GetDigit(data[i] & 15);
    }
}
