// Data: an immutable run of bytes.
#include "platform/corefoundation/CFObject.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <vector>

struct __CFData : cf::Object {
    explicit __CFData(std::vector<UInt8> bytes)
        : Object(cf::kDataTypeID), bytes(std::move(bytes)) {}

    bool Equals(const Object& other) const override {
        return bytes == static_cast<const __CFData&>(other).bytes;
    }
    CFHashCode Hash() const override {
        return std::hash<std::string_view>{}(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }

    const std::vector<UInt8> bytes;
};

namespace {

const __CFData* AsData(CFDataRef data) {
    return cf::As<__CFData>(data, cf::kDataTypeID);
}

} // namespace

CFTypeID CFDataGetTypeID() {
    return cf::kDataTypeID;
}

CFDataRef CFDataCreate(CFAllocatorRef, const UInt8* bytes, CFIndex length) {
    auto run = cf::ByteRun(bytes, length);
    return run ? new __CFData(std::vector<UInt8>(run->begin(), run->end())) : nullptr;
}

CFIndex CFDataGetLength(CFDataRef data) {
    const __CFData* d = AsData(data);
    return d == nullptr ? 0 : static_cast<CFIndex>(d->bytes.size());
}

const UInt8* CFDataGetBytePtr(CFDataRef data) {
    const __CFData* d = AsData(data);
    return d == nullptr ? nullptr : d->bytes.data();
}

void CFDataGetBytes(CFDataRef data, CFRange range, UInt8* buffer) {
    // Only the part of the range that lies inside the data is copied.
    const __CFData* d = AsData(data);
    if (d == nullptr || buffer == nullptr || range.location < 0 || range.length <= 0)
        return;
    auto size = static_cast<CFIndex>(d->bytes.size());
    if (range.location >= size)
        return;
    CFIndex count = std::min(range.length, size - range.location);
    std::copy_n(d->bytes.begin() + range.location, count, buffer);
}
