// Strings: immutable Unicode text kept as UTF-8, converted to and from the
// byte encodings the program meets (ASCII, MacRoman, ISO Latin-1, UTF-8)
// with the C library's iconv.
#include "platform/corefoundation/CFHelpers.h"
#include "platform/corefoundation/CFObject.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

struct __CFString : cf::Object {
    explicit __CFString(std::string utf8, bool immortal = false)
        : Object(cf::kStringTypeID, immortal), utf8(std::move(utf8)) {}

    bool Equals(const Object& other) const override {
        return utf8 == static_cast<const __CFString&>(other).utf8;
    }
    CFHashCode Hash() const override { return std::hash<std::string_view>{}(utf8); }

    const std::string utf8;
};

namespace {

const char* IconvName(CFStringEncoding encoding) {
    switch (encoding) {
    case kCFStringEncodingMacRoman:
        return "MACINTOSH";
    case kCFStringEncodingISOLatin1:
        return "ISO-8859-1";
    case kCFStringEncodingASCII:
        return "ASCII";
    case kCFStringEncodingUTF8:
        return "UTF-8";
    default:
        return nullptr;
    }
}

// The text converted between two iconv encodings; nothing when a character
// is invalid in the source or has no form in the target.
std::optional<std::string> Transcode(std::string_view text, const char* from, const char* to) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(text.size() * 3 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    size_t written = 0;
    bool ok = true;
    while (inLeft > 0) {
        char* outPtr = out.data() + written;
        size_t outLeft = out.size() - written;
        size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        written = out.size() - outLeft;
        if (result != static_cast<size_t>(-1))
            break;
        if (errno != E2BIG) {
            ok = false;
            break;
        }
        out.resize(out.size() * 2);
    }
    iconv_close(converter);
    if (!ok)
        return std::nullopt;
    out.resize(written);
    return out;
}

std::optional<std::string> Decode(std::string_view bytes, CFStringEncoding encoding) {
    const char* name = IconvName(encoding);
    if (name == nullptr)
        return std::nullopt;
    return Transcode(bytes, name, "UTF-8");
}

std::optional<std::string> Encode(const std::string& utf8, CFStringEncoding encoding) {
    if (encoding == kCFStringEncodingUTF8)
        return utf8;
    const char* name = IconvName(encoding);
    if (name == nullptr)
        return std::nullopt;
    return Transcode(utf8, "UTF-8", name);
}

const __CFString* AsString(CFStringRef str) {
    return cf::As<__CFString>(str, cf::kStringTypeID);
}

} // namespace

CFTypeID CFStringGetTypeID() {
    return cf::kStringTypeID;
}

CFStringRef CFStringCreateWithCString(CFAllocatorRef, const char* cStr, CFStringEncoding encoding) {
    if (cStr == nullptr)
        return nullptr;
    auto utf8 = Decode(cStr, encoding);
    return utf8 ? new __CFString(std::move(*utf8)) : nullptr;
}

CFStringRef CFStringCreateWithBytes(CFAllocatorRef, const UInt8* bytes, CFIndex numBytes,
                                    CFStringEncoding encoding, Boolean isExternalRepresentation) {
    auto run = cf::ByteRun(bytes, numBytes);
    if (!run)
        return nullptr;
    std::string_view text = *run;
    // An external representation may start with a byte order mark.
    if (isExternalRepresentation && encoding == kCFStringEncodingUTF8 &&
        text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    auto utf8 = Decode(text, encoding);
    return utf8 ? new __CFString(std::move(*utf8)) : nullptr;
}

CFStringRef CFStringCreateFromExternalRepresentation(CFAllocatorRef alloc, CFDataRef data,
                                                     CFStringEncoding encoding) {
    if (CFGetTypeID(data) != CFDataGetTypeID())
        return nullptr;
    return CFStringCreateWithBytes(alloc, CFDataGetBytePtr(data), CFDataGetLength(data), encoding,
                                   true);
}

CFIndex CFStringGetLength(CFStringRef str) {
    const __CFString* string = AsString(str);
    if (string == nullptr)
        return 0;
    // The length counts UTF-16 units: a character beyond the Basic
    // Multilingual Plane (four UTF-8 bytes) counts twice.
    CFIndex length = 0;
    for (unsigned char byte : string->utf8) {
        if ((byte & 0xC0) != 0x80)
            length += byte >= 0xF0 ? 2 : 1;
    }
    return length;
}

Boolean CFStringGetCString(CFStringRef str, char* buffer, CFIndex bufferSize,
                           CFStringEncoding encoding) {
    if (buffer == nullptr || bufferSize <= 0)
        return false;
    buffer[0] = '\0';
    const __CFString* string = AsString(str);
    if (string == nullptr)
        return false;
    auto text = Encode(string->utf8, encoding);
    if (!text || text->size() + 1 > static_cast<size_t>(bufferSize))
        return false;
    std::memcpy(buffer, text->data(), text->size());
    buffer[text->size()] = '\0';
    return true;
}

CFStringEncoding CFStringGetSystemEncoding() {
    return kCFStringEncodingMacRoman;
}

TextEncoding GetApplicationTextEncoding() {
    return kCFStringEncodingMacRoman;
}

CFStringRef __CFStringMakeConstantString(const char* cStr) {
    // Interned: the same literal always gives the same immortal object. The
    // table is never destroyed, so constants stay valid during exit.
    static std::mutex mutex;
    static auto* table = new std::unordered_map<std::string, const __CFString*>;
    std::lock_guard lock(mutex);
    auto found = table->find(cStr);
    if (found != table->end())
        return found->second;
    // Literals are UTF-8 source text; stray bytes that are not UTF-8 are
    // taken as ISO Latin-1 so that every literal gives a string.
    auto utf8 = Decode(cStr, kCFStringEncodingUTF8);
    if (!utf8)
        utf8 = Decode(cStr, kCFStringEncodingISOLatin1);
    const auto* string = new __CFString(std::move(*utf8), true);
    table->emplace(cStr, string);
    return string;
}

void CopyCStringToPascal(const char* src, Str255 dst) {
    // src may be dst itself: the bytes move up by one with an overlapping move.
    size_t length = 0;
    if (src != nullptr) {
        length = strnlen(src, 255);
        std::memmove(dst + 1, src, length);
    }
    dst[0] = static_cast<unsigned char>(length);
}

namespace cf {

std::string ToUTF8(CFStringRef str) {
    const __CFString* string = AsString(str);
    return string == nullptr ? std::string() : string->utf8;
}

CFStringRef CreateString(std::string_view utf8) {
    auto text = Decode(utf8, kCFStringEncodingUTF8);
    return text ? new __CFString(std::move(*text)) : nullptr;
}

} // namespace cf
