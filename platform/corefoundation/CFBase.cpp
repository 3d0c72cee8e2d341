// Retain counting, type identifiers, equality and hashing for every CF object.
#include "platform/corefoundation/CFObject.h"

#include <limits>

const CFAllocatorRef kCFAllocatorDefault = nullptr;

CFTypeID CFGetTypeID(CFTypeRef cf) {
    return cf == nullptr ? 0 : cf::AsObject(cf)->typeID;
}

CFTypeRef CFRetain(CFTypeRef cf) {
    if (cf != nullptr && !cf::AsObject(cf)->immortal)
        const_cast<cf::Object*>(cf::AsObject(cf))->retainCount.fetch_add(1);
    return cf;
}

void CFRelease(CFTypeRef cf) {
    if (cf == nullptr)
        return;
    auto* object = const_cast<cf::Object*>(cf::AsObject(cf));
    if (object->immortal)
        return;
    if (object->retainCount.fetch_sub(1) == 1)
        delete object;
}

CFIndex CFGetRetainCount(CFTypeRef cf) {
    if (cf == nullptr)
        return 0;
    if (cf::AsObject(cf)->immortal)
        return std::numeric_limits<CFIndex>::max();
    return cf::AsObject(cf)->retainCount.load();
}

Boolean CFEqual(CFTypeRef a, CFTypeRef b) {
    if (a == b)
        return true;
    if (a == nullptr || b == nullptr || CFGetTypeID(a) != CFGetTypeID(b))
        return false;
    return cf::AsObject(a)->Equals(*cf::AsObject(b));
}

CFHashCode CFHash(CFTypeRef cf) {
    return cf == nullptr ? 0 : cf::AsObject(cf)->Hash();
}
