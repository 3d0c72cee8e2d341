// Core Foundation as the application uses it: reference-counted immutable
// values (strings, numbers, data, booleans, dictionaries, arrays), URLs and
// bundles. Ownership follows the Create/Copy rule: what a call named Create or
// Copy returns belongs to the caller, who releases it with CFRelease; what a
// Get call returns belongs to the object it came from.
#pragma once

#include "platform/MacTypes.h"

typedef const void* CFTypeRef;
typedef unsigned long CFTypeID;
typedef unsigned long CFHashCode;
typedef long CFIndex;
typedef unsigned long CFOptionFlags;
typedef UInt32 CFStringEncoding;
typedef UInt32 TextEncoding;

struct CFRange {
    CFIndex location;
    CFIndex length;
};
inline CFRange CFRangeMake(CFIndex location, CFIndex length) {
    return CFRange{location, length};
}

typedef const struct __CFAllocator* CFAllocatorRef;
typedef const struct __CFString* CFStringRef;
typedef const struct __CFNumber* CFNumberRef;
typedef const struct __CFData* CFDataRef;
typedef const struct __CFBoolean* CFBooleanRef;
typedef const struct __CFDictionary* CFDictionaryRef;
typedef struct __CFDictionary* CFMutableDictionaryRef;
typedef const struct __CFArray* CFArrayRef;
typedef struct __CFArray* CFMutableArrayRef;
typedef const struct __CFURL* CFURLRef;
typedef struct __CFBundle* CFBundleRef;
typedef CFTypeRef CFPropertyListRef;

extern const CFAllocatorRef kCFAllocatorDefault;

// Any object. A null reference has type 0; retaining or releasing it does nothing.
CFTypeID CFGetTypeID(CFTypeRef cf);
CFTypeRef CFRetain(CFTypeRef cf);
void CFRelease(CFTypeRef cf);
CFIndex CFGetRetainCount(CFTypeRef cf);
Boolean CFEqual(CFTypeRef a, CFTypeRef b);
CFHashCode CFHash(CFTypeRef cf);

// Strings.
enum : CFStringEncoding {
    kCFStringEncodingMacRoman = 0,
    kCFStringEncodingISOLatin1 = 0x0201,
    kCFStringEncodingASCII = 0x0600,
    kCFStringEncodingUTF8 = 0x08000100,
};
CFTypeID CFStringGetTypeID();
CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr,
                                      CFStringEncoding encoding);
CFStringRef CFStringCreateWithBytes(CFAllocatorRef alloc, const UInt8* bytes, CFIndex numBytes,
                                    CFStringEncoding encoding, Boolean isExternalRepresentation);
CFStringRef CFStringCreateFromExternalRepresentation(CFAllocatorRef alloc, CFDataRef data,
                                                     CFStringEncoding encoding);
CFIndex CFStringGetLength(CFStringRef str);
// Copies the text with its terminator into buffer; false when a character has
// no form in the encoding or the text and terminator do not fit bufferSize,
// and then buffer holds the empty text (when bufferSize is at least 1).
Boolean CFStringGetCString(CFStringRef str, char* buffer, CFIndex bufferSize,
                           CFStringEncoding encoding);
CFStringEncoding CFStringGetSystemEncoding();
// The text encoding of the running application (Text Encoding Conversion Manager).
TextEncoding GetApplicationTextEncoding();
// A constant string: never freed, CFRetain/CFRelease do nothing to it.
CFStringRef __CFStringMakeConstantString(const char* cStr);
#define CFSTR(cStr) __CFStringMakeConstantString("" cStr "")

// Copies a C string into a Pascal string (at most 255 characters); src and dst
// may be the same buffer.
void CopyCStringToPascal(const char* src, Str255 dst);

// Numbers. A number keeps the type it was created with; reading it as
// another type converts the value. Widths: SInt8/Char 8 bits, SInt16/Short 16,
// SInt32/Int/Long 32 (a long as on the system the program was written for),
// SInt64/LongLong/CFIndex 64, Float32/Float 32, Float64/Double 64.
typedef CFIndex CFNumberType;
enum : CFNumberType {
    kCFNumberSInt8Type = 1,
    kCFNumberSInt16Type = 2,
    kCFNumberSInt32Type = 3,
    kCFNumberSInt64Type = 4,
    kCFNumberFloat32Type = 5,
    kCFNumberFloat64Type = 6,
    kCFNumberCharType = 7,
    kCFNumberShortType = 8,
    kCFNumberIntType = 9,
    kCFNumberLongType = 10,
    kCFNumberLongLongType = 11,
    kCFNumberFloatType = 12,
    kCFNumberDoubleType = 13,
    kCFNumberCFIndexType = 14,
    kCFNumberMaxType = 14,
};
CFTypeID CFNumberGetTypeID();
CFNumberRef CFNumberCreate(CFAllocatorRef alloc, CFNumberType theType, const void* valuePtr);
CFNumberType CFNumberGetType(CFNumberRef number);
CFIndex CFNumberGetByteSize(CFNumberRef number);
Boolean CFNumberIsFloatType(CFNumberRef number);
// Writes the value as theType into valuePtr; false when the value was not
// exactly representable in that type (it is still written, converted: an
// integer keeps its low bits, a float is truncated toward zero and held to
// the integer type's range).
Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr);

// Data.
CFTypeID CFDataGetTypeID();
CFDataRef CFDataCreate(CFAllocatorRef alloc, const UInt8* bytes, CFIndex length);
CFIndex CFDataGetLength(CFDataRef data);
const UInt8* CFDataGetBytePtr(CFDataRef data);
void CFDataGetBytes(CFDataRef data, CFRange range, UInt8* buffer);

// Booleans.
CFTypeID CFBooleanGetTypeID();
extern const CFBooleanRef kCFBooleanTrue;
extern const CFBooleanRef kCFBooleanFalse;
Boolean CFBooleanGetValue(CFBooleanRef boolean);

// Dictionaries. Keys and values are CF objects retained by the dictionary
// (whatever callbacks are passed); keys compare with CFEqual.
struct CFDictionaryKeyCallBacks;
struct CFDictionaryValueCallBacks;
extern const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks;
extern const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks;
CFTypeID CFDictionaryGetTypeID();
CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef alloc, CFIndex capacity,
                                                 const CFDictionaryKeyCallBacks* keyCallBacks,
                                                 const CFDictionaryValueCallBacks* valueCallBacks);
void CFDictionarySetValue(CFMutableDictionaryRef dict, const void* key, const void* value);
const void* CFDictionaryGetValue(CFDictionaryRef dict, const void* key);
CFIndex CFDictionaryGetCount(CFDictionaryRef dict);
// Fills keys and values (either may be null) in insertion order.
void CFDictionaryGetKeysAndValues(CFDictionaryRef dict, const void** keys, const void** values);

// Arrays. Values are CF objects retained by the array.
struct CFArrayCallBacks;
extern const CFArrayCallBacks kCFTypeArrayCallBacks;
CFTypeID CFArrayGetTypeID();
CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef alloc, CFIndex capacity,
                                       const CFArrayCallBacks* callBacks);
void CFArrayAppendValue(CFMutableArrayRef array, const void* value);
CFIndex CFArrayGetCount(CFArrayRef array);
const void* CFArrayGetValueAtIndex(CFArrayRef array, CFIndex index);

// URLs of files. A relative path is taken relative to the current directory
// at the time the URL is made.
CFTypeID CFURLGetTypeID();
CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef alloc, const UInt8* buffer,
                                                 CFIndex bufLen, Boolean isDirectory);
CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef alloc, CFURLRef url,
                                               CFStringRef pathComponent, Boolean isDirectory);
// Writes the absolute path with its terminator; false when it does not fit
// maxBufLen, and then buffer holds the empty text.
Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean resolveAgainstBase, UInt8* buffer,
                                         CFIndex maxBufLen);
// False when the file does not exist or its path does not fit FSRef.path.
Boolean CFURLGetFSRef(CFURLRef url, FSRef* fsRef);

// Bundles. The main bundle is the application bundle that holds the running
// executable (.../Name.app/Contents/MacOS/Name); null when the executable is
// not inside one. The localization read is English.lproj.
CFTypeID CFBundleGetTypeID();
CFBundleRef CFBundleGetMainBundle();
// A bundle for the folder the URL names (the caller releases it); null when
// there is no such folder.
CFBundleRef CFBundleCreate(CFAllocatorRef alloc, CFURLRef bundleURL);
CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle);
// The text for key in the table (null: the default table "Localizable.strings"
// of the bundle's localization), or value when there is none (key when value
// is null). A null bundle gives value. The result is the caller's to release.
CFStringRef CFBundleCopyLocalizedString(CFBundleRef bundle, CFStringRef key, CFStringRef value,
                                        CFStringRef tableName);
// A value of the bundle's Info.plist, or null.
CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key);
