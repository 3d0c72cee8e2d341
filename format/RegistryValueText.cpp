// Each type code is read into a slot of its own width and printed in the
// format of its group; every text is bounded by the 256-byte room.
#include "format/RegistryValueText.h"

#include "format/NumberText.h"
#include "platform/toolbox/MemoryManager.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

namespace {

// The most data bytes whose text (two digits each) fits the room with its
// terminator.
constexpr CFIndex kMaxDataBytesShown = (kRegistryValueTextRoom - 1) / 2;

} // namespace

void ConvertCFNumberToCStr(CFNumberRef number, char* out, Boolean hex) {
    CFNumberType type = CFNumberGetType(number);
    if (type <= 0 || type > kCFNumberMaxType)
        return;
    constexpr size_t room = kRegistryValueTextRoom;
    switch (type) {
    case kCFNumberCFIndexType:
        out[0] = '\0';
        return;
    case kCFNumberSInt8Type:
    case kCFNumberCharType: {
        // The value's own byte; 0 is the terminator itself, the empty text.
        SInt8 value;
        if (CFNumberGetValue(number, type, &value))
            std::snprintf(out, room, hex ? "%cX" : "%c", value);
        return;
    }
    case kCFNumberSInt16Type:
    case kCFNumberShortType: {
        SInt16 value;
        if (!CFNumberGetValue(number, type, &value))
            return;
        if (hex)
            std::snprintf(out, room, "%hX", static_cast<UInt16>(value));
        else
            std::snprintf(out, room, "%hd", value);
        return;
    }
    case kCFNumberSInt32Type:
    case kCFNumberIntType:
    case kCFNumberLongType: {
        SInt32 value;
        if (!CFNumberGetValue(number, type, &value))
            return;
        if (hex)
            std::snprintf(out, room, "%" PRIX32, static_cast<UInt32>(value));
        else
            std::snprintf(out, room, "%" PRId32, value);
        return;
    }
    case kCFNumberSInt64Type:
    case kCFNumberLongLongType: {
        SInt64 value;
        if (!CFNumberGetValue(number, type, &value))
            return;
        if (hex)
            SInt64ToHexCStr(value, out);
        else
            SInt64ToCStr(value, out);
        return;
    }
    case kCFNumberFloat32Type:
    case kCFNumberFloatType: {
        Float32 value;
        if (CFNumberGetValue(number, type, &value))
            std::snprintf(out, room, "%f", static_cast<double>(value));
        return;
    }
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType: {
        // Up to 317 characters for the largest values: cut to the room.
        Float64 value;
        if (CFNumberGetValue(number, type, &value))
            std::snprintf(out, room, "%f", value);
        return;
    }
    default:
        return;
    }
}

void ConvertCFDataToCStr(CFDataRef data, char* out) {
    CFIndex shown = std::min(CFDataGetLength(data), kMaxDataBytesShown);
    Ptr block = NewPtr(shown);
    if (block == nullptr) {
        out[0] = '\0';
        return;
    }
    auto* bytes = reinterpret_cast<UInt8*>(block);
    CFDataGetBytes(data, CFRangeMake(0, shown), bytes);
    Buffer2HexCStr(bytes, static_cast<UInt32>(shown), out);
    DisposePtr(block);
}
