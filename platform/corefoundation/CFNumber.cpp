// Numbers. A number keeps the type code it was created with and
// its value in that type; reading it as another type converts the value and
// reports whether the conversion was exact.
#include "platform/corefoundation/CFObject.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

namespace {

enum class Kind { SInt8, SInt16, SInt32, SInt64, Float32, Float64, Invalid };

// The C type behind each type code. kCFNumberLongType is 32-bit: the width a
// long has on the system the program was written for, whatever it is here.
Kind KindOf(CFNumberType type) {
    switch (type) {
    case kCFNumberSInt8Type:
    case kCFNumberCharType:
        return Kind::SInt8;
    case kCFNumberSInt16Type:
    case kCFNumberShortType:
        return Kind::SInt16;
    case kCFNumberSInt32Type:
    case kCFNumberIntType:
    case kCFNumberLongType:
        return Kind::SInt32;
    case kCFNumberSInt64Type:
    case kCFNumberLongLongType:
    case kCFNumberCFIndexType:
        return Kind::SInt64;
    case kCFNumberFloat32Type:
    case kCFNumberFloatType:
        return Kind::Float32;
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType:
        return Kind::Float64;
    default:
        return Kind::Invalid;
    }
}

CFIndex ByteSize(Kind kind) {
    switch (kind) {
    case Kind::SInt8:
        return 1;
    case Kind::SInt16:
        return 2;
    case Kind::SInt32:
    case Kind::Float32:
        return 4;
    case Kind::SInt64:
    case Kind::Float64:
        return 8;
    case Kind::Invalid:
        break;
    }
    return 0;
}

bool IsFloat(Kind kind) {
    return kind == Kind::Float32 || kind == Kind::Float64;
}

template <class T> T Load(const void* from) {
    T value;
    std::memcpy(&value, from, sizeof value);
    return value;
}

template <class T> void Store(void* to, T value) {
    std::memcpy(to, &value, sizeof value);
}

// True when the double holds exactly the integer value.
bool DoubleIsInteger(double d, SInt64 value) {
    if (!(d >= -0x1p63 && d < 0x1p63))
        return false;
    return static_cast<SInt64>(d) == value && std::trunc(d) == d;
}

// Writes an integer into a signed integer slot of the given width (the low
// bits when it does not fit); true when it fits.
template <class T> bool StoreInteger(void* to, SInt64 value) {
    Store(to, static_cast<T>(value));
    return value >= std::numeric_limits<T>::min() && value <= std::numeric_limits<T>::max();
}

// Writes a float into a signed integer slot, truncated toward zero and held
// to the slot's range; true when the value was a whole number in range.
template <class T> bool StoreTruncated(void* to, double value) {
    constexpr double low = static_cast<double>(std::numeric_limits<T>::min());
    constexpr double high = -low; // 2^(bits-1): the first value above the range
    T result;
    if (std::isnan(value))
        result = 0;
    else if (value < low)
        result = std::numeric_limits<T>::min();
    else if (value >= high)
        result = std::numeric_limits<T>::max();
    else
        result = static_cast<T>(value);
    Store(to, result);
    return !std::isnan(value) && value >= low && value < high && std::trunc(value) == value;
}

} // namespace

struct __CFNumber : cf::Object {
    __CFNumber(CFNumberType type, Kind kind) : Object(cf::kNumberTypeID), type(type), kind(kind) {}

    bool Equals(const Object& other) const override {
        const auto& that = static_cast<const __CFNumber&>(other);
        if (!IsFloat(kind) && !IsFloat(that.kind))
            return integer == that.integer;
        if (IsFloat(kind) && IsFloat(that.kind))
            return real == that.real;
        return IsFloat(kind) ? DoubleIsInteger(real, that.integer)
                             : DoubleIsInteger(that.real, integer);
    }
    CFHashCode Hash() const override {
        // A float that holds a whole number hashes as that integer, since the
        // two compare equal.
        if (!IsFloat(kind))
            return static_cast<CFHashCode>(integer);
        if (std::trunc(real) == real && real >= -0x1p63 && real < 0x1p63)
            return static_cast<CFHashCode>(static_cast<SInt64>(real));
        return std::hash<double>{}(real);
    }

    const CFNumberType type;
    const Kind kind;
    SInt64 integer = 0; // the value of the integer kinds
    double real = 0;    // the value of the float kinds (a Float32 widened exactly)
};

namespace {

const __CFNumber* AsNumber(CFNumberRef number) {
    return cf::As<__CFNumber>(number, cf::kNumberTypeID);
}

} // namespace

CFTypeID CFNumberGetTypeID() {
    return cf::kNumberTypeID;
}

CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType theType, const void* valuePtr) {
    Kind kind = KindOf(theType);
    if (kind == Kind::Invalid || valuePtr == nullptr)
        return nullptr;
    auto* number = new __CFNumber(theType, kind);
    switch (kind) {
    case Kind::SInt8:
        number->integer = Load<SInt8>(valuePtr);
        break;
    case Kind::SInt16:
        number->integer = Load<SInt16>(valuePtr);
        break;
    case Kind::SInt32:
        number->integer = Load<SInt32>(valuePtr);
        break;
    case Kind::SInt64:
        number->integer = Load<SInt64>(valuePtr);
        break;
    case Kind::Float32:
        number->real = Load<Float32>(valuePtr);
        break;
    case Kind::Float64:
        number->real = Load<Float64>(valuePtr);
        break;
    case Kind::Invalid:
        break;
    }
    return number;
}

CFNumberType CFNumberGetType(CFNumberRef number) {
    const __CFNumber* n = AsNumber(number);
    return n == nullptr ? 0 : n->type;
}

CFIndex CFNumberGetByteSize(CFNumberRef number) {
    const __CFNumber* n = AsNumber(number);
    return n == nullptr ? 0 : ByteSize(n->kind);
}

Boolean CFNumberIsFloatType(CFNumberRef number) {
    const __CFNumber* n = AsNumber(number);
    return n != nullptr && IsFloat(n->kind);
}

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr) {
    const __CFNumber* n = AsNumber(number);
    Kind target = KindOf(theType);
    if (n == nullptr || target == Kind::Invalid || valuePtr == nullptr)
        return false;
    if (!IsFloat(n->kind)) {
        SInt64 value = n->integer;
        switch (target) {
        case Kind::SInt8:
            return StoreInteger<SInt8>(valuePtr, value);
        case Kind::SInt16:
            return StoreInteger<SInt16>(valuePtr, value);
        case Kind::SInt32:
            return StoreInteger<SInt32>(valuePtr, value);
        case Kind::SInt64:
            return StoreInteger<SInt64>(valuePtr, value);
        case Kind::Float32: {
            auto converted = static_cast<Float32>(value);
            Store(valuePtr, converted);
            return DoubleIsInteger(converted, value);
        }
        case Kind::Float64: {
            auto converted = static_cast<Float64>(value);
            Store(valuePtr, converted);
            return DoubleIsInteger(converted, value);
        }
        case Kind::Invalid:
            break;
        }
        return false;
    }
    double value = n->real;
    switch (target) {
    case Kind::SInt8:
        return StoreTruncated<SInt8>(valuePtr, value);
    case Kind::SInt16:
        return StoreTruncated<SInt16>(valuePtr, value);
    case Kind::SInt32:
        return StoreTruncated<SInt32>(valuePtr, value);
    case Kind::SInt64:
        return StoreTruncated<SInt64>(valuePtr, value);
    case Kind::Float32: {
        // A finite value beyond the float range becomes an infinity.
        Float32 converted = !std::isfinite(value) || std::fabs(value) <= FLT_MAX
                                ? static_cast<Float32>(value)
                                : (value > 0 ? HUGE_VALF : -HUGE_VALF);
        Store(valuePtr, converted);
        return std::isnan(value) || static_cast<double>(converted) == value;
    }
    case Kind::Float64:
        Store(valuePtr, value);
        return true;
    case Kind::Invalid:
        break;
    }
    return false;
}
