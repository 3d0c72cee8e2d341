// The object model behind the Core Foundation calls: every CF object is a
// cf::Object with a type identifier and a retain count. Internal to the
// corefoundation folder; the rest of the program sees only the opaque refs.
#pragma once

#include "platform/corefoundation/CoreFoundation.h"

#include <atomic>
#include <optional>
#include <string_view>

namespace cf {

enum TypeID : CFTypeID {
    kStringTypeID = 1,
    kNumberTypeID,
    kDataTypeID,
    kBooleanTypeID,
    kDictionaryTypeID,
    kArrayTypeID,
    kURLTypeID,
    kBundleTypeID,
};

struct Object {
    constexpr explicit Object(CFTypeID typeID, bool immortal = false)
        : typeID(typeID), immortal(immortal) {}
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() = default;

    // Called only with an object of the same type.
    virtual bool Equals(const Object& other) const { return this == &other; }
    // Objects that compare equal have equal hashes.
    virtual CFHashCode Hash() const { return reinterpret_cast<CFHashCode>(this); }

    const CFTypeID typeID;
    // Constant objects (CFSTR strings, the booleans, the main bundle) live for
    // the whole process; retain and release leave them alone.
    const bool immortal;
    std::atomic<CFIndex> retainCount{1};
};

inline const Object* AsObject(CFTypeRef cf) {
    return static_cast<const Object*>(cf);
}

// The object behind cf when it has the given type, else null.
template <class T> const T* As(CFTypeRef cf, CFTypeID typeID) {
    if (cf == nullptr || AsObject(cf)->typeID != typeID)
        return nullptr;
    return static_cast<const T*>(AsObject(cf));
}

// The caller's run of length bytes at bytes, or nothing when the two make no
// run: a negative length, or no bytes for a length above zero.
inline std::optional<std::string_view> ByteRun(const UInt8* bytes, CFIndex length) {
    if (length < 0 || (bytes == nullptr && length > 0))
        return std::nullopt;
    return std::string_view(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
}

} // namespace cf
