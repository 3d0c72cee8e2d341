// The two boolean objects: built at compile time so that they are valid
// before any other code runs, and never destroyed.
#include "platform/corefoundation/CFObject.h"

struct __CFBoolean : cf::Object {
    constexpr explicit __CFBoolean(bool value) : Object(cf::kBooleanTypeID, true), value(value) {}
    const bool value;
};

namespace {

union ConstantBoolean {
    constexpr explicit ConstantBoolean(bool value) : object(value) {}
    ~ConstantBoolean() {}
    __CFBoolean object;
};

constinit ConstantBoolean trueBoolean{true};
constinit ConstantBoolean falseBoolean{false};

} // namespace

const CFBooleanRef kCFBooleanTrue = &trueBoolean.object;
const CFBooleanRef kCFBooleanFalse = &falseBoolean.object;

CFTypeID CFBooleanGetTypeID() {
    return cf::kBooleanTypeID;
}

Boolean CFBooleanGetValue(CFBooleanRef boolean) {
    const auto* b = cf::As<__CFBoolean>(boolean, cf::kBooleanTypeID);
    return b != nullptr && b->value;
}
