// The basic Mac OS types the application code is written in: fixed-width
// integers, status results, four-character codes, Pascal strings and FSRef.
#pragma once

#include <cstdint>

typedef uint8_t UInt8;
typedef int8_t SInt8;
typedef uint16_t UInt16;
typedef int16_t SInt16;
typedef uint32_t UInt32;
typedef int32_t SInt32;
typedef uint64_t UInt64;
typedef int64_t SInt64;
typedef float Float32;
typedef double Float64;

typedef unsigned char Boolean;

typedef SInt32 OSStatus;
typedef SInt16 OSErr;
typedef UInt32 FourCharCode;
typedef FourCharCode OSType;
typedef FourCharCode ResType;

typedef char* Ptr;
typedef long Size;

// A length byte followed by up to 255 characters.
typedef unsigned char Str255[256];
typedef unsigned char* StringPtr;
typedef const unsigned char* ConstStringPtr;
typedef const unsigned char* ConstStr255Param;

enum : OSStatus {
    noErr = 0,
    paramErr = -50,
    memFullErr = -108,
    fnfErr = -43,
    eventNotHandledErr = -9874,
    noSuchIconErr = -2581,
};

// A file reference. On this platform it names the file by its absolute path.
struct FSRef {
    char path[1024];
};
