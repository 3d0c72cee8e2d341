// Arrays: an ordered list of CF objects, each retained by the array.
#include "platform/corefoundation/CFObject.h"

#include <vector>

struct CFArrayCallBacks {};
const CFArrayCallBacks kCFTypeArrayCallBacks{};

struct __CFArray : cf::Object {
    __CFArray() : Object(cf::kArrayTypeID) {}
    ~__CFArray() override {
        for (CFTypeRef value : values)
            CFRelease(value);
    }

    bool Equals(const Object& other) const override {
        const auto& that = static_cast<const __CFArray&>(other);
        if (values.size() != that.values.size())
            return false;
        for (size_t i = 0; i < values.size(); ++i) {
            if (!CFEqual(values[i], that.values[i]))
                return false;
        }
        return true;
    }
    CFHashCode Hash() const override { return values.size(); }

    std::vector<CFTypeRef> values;
};

namespace {

const __CFArray* AsArray(CFArrayRef array) {
    return cf::As<__CFArray>(array, cf::kArrayTypeID);
}

} // namespace

CFTypeID CFArrayGetTypeID() {
    return cf::kArrayTypeID;
}

CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef, CFIndex capacity, const CFArrayCallBacks*) {
    auto* array = new __CFArray;
    if (capacity > 0)
        array->values.reserve(static_cast<size_t>(capacity));
    return array;
}

void CFArrayAppendValue(CFMutableArrayRef array, const void* value) {
    if (AsArray(array) == nullptr || value == nullptr)
        return;
    array->values.push_back(CFRetain(value));
}

CFIndex CFArrayGetCount(CFArrayRef array) {
    const __CFArray* a = AsArray(array);
    return a == nullptr ? 0 : static_cast<CFIndex>(a->values.size());
}

const void* CFArrayGetValueAtIndex(CFArrayRef array, CFIndex index) {
    const __CFArray* a = AsArray(array);
    if (a == nullptr || index < 0 || index >= static_cast<CFIndex>(a->values.size()))
        return nullptr;
    return a->values[static_cast<size_t>(index)];
}
