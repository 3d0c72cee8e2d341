// C++ helpers for code behind the facade (the stand-ins, the host, the tools):
// UTF-8 text in and out of CFString, the path of a URL, and a holder that
// releases what it owns.
#pragma once

#include "platform/corefoundation/CoreFoundation.h"

#include <string>
#include <string_view>
#include <utility>

namespace cf {

// The text of str in UTF-8; empty for null or for an object that is not a string.
std::string ToUTF8(CFStringRef str);

// A new string holding the UTF-8 text; null when the text is not valid UTF-8.
CFStringRef CreateString(std::string_view utf8);

// The absolute file-system path of a file URL; empty for null or for an
// object that is not a URL.
std::string PathOf(CFURLRef url);

// Holds one reference (from a Create or Copy call, or retained) and releases
// it when destroyed.
template <class Ref> class Owned {
  public:
    Owned() = default;
    explicit Owned(Ref ref) : ref_(ref) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : ref_(std::exchange(other.ref_, nullptr)) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other)
            reset(std::exchange(other.ref_, nullptr));
        return *this;
    }
    ~Owned() { reset(); }

    Ref get() const { return ref_; }
    explicit operator bool() const { return ref_ != nullptr; }
    // Gives up ownership: the caller now owns the reference.
    Ref release() { return std::exchange(ref_, nullptr); }
    void reset(Ref ref = nullptr) {
        if (ref_ != nullptr)
            CFRelease(ref_);
        ref_ = ref;
    }

  private:
    Ref ref_ = nullptr;
};

} // namespace cf
