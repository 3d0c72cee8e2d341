// File URLs. A URL holds an absolute path: a relative path is taken relative
// to the current directory when the URL is made, as the file system would.
#include "platform/corefoundation/CFHelpers.h"
#include "platform/corefoundation/CFObject.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

struct __CFURL : cf::Object {
    __CFURL(std::string path, bool isDirectory)
        : Object(cf::kURLTypeID), path(std::move(path)), isDirectory(isDirectory) {}

    bool Equals(const Object& other) const override {
        const auto& that = static_cast<const __CFURL&>(other);
        return path == that.path && isDirectory == that.isDirectory;
    }
    CFHashCode Hash() const override { return std::hash<std::string>{}(path); }

    const std::string path; // absolute, without a trailing '/' (except "/" itself)
    const bool isDirectory;
};

namespace {

const __CFURL* AsURL(CFURLRef url) {
    return cf::As<__CFURL>(url, cf::kURLTypeID);
}

CFURLRef CreateURL(std::string path, bool isDirectory) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return new __CFURL(std::move(path), isDirectory);
}

} // namespace

CFTypeID CFURLGetTypeID() {
    return cf::kURLTypeID;
}

CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef, const UInt8* buffer,
                                                 CFIndex bufLen, Boolean isDirectory) {
    if (buffer == nullptr || bufLen <= 0)
        return nullptr;
    std::string path(reinterpret_cast<const char*>(buffer), static_cast<size_t>(bufLen));
    if (path.find('\0') != std::string::npos)
        return nullptr;
    if (path.front() != '/') {
        char* cwd = getcwd(nullptr, 0);
        if (cwd == nullptr)
            return nullptr;
        std::string base = cwd;
        free(cwd);
        path = base + (base.back() == '/' ? "" : "/") + path;
    }
    return CreateURL(std::move(path), isDirectory);
}

CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef, CFURLRef url,
                                               CFStringRef pathComponent, Boolean isDirectory) {
    const __CFURL* base = AsURL(url);
    std::string component = cf::ToUTF8(pathComponent);
    if (base == nullptr || component.empty())
        return nullptr;
    return CreateURL(base->path + (base->path == "/" ? "" : "/") + component, isDirectory);
}

Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean, UInt8* buffer, CFIndex maxBufLen) {
    // The paths are absolute already, so resolving against a base changes nothing.
    if (buffer == nullptr || maxBufLen <= 0)
        return false;
    buffer[0] = '\0';
    const __CFURL* u = AsURL(url);
    if (u == nullptr || u->path.size() + 1 > static_cast<size_t>(maxBufLen))
        return false;
    std::memcpy(buffer, u->path.c_str(), u->path.size() + 1);
    return true;
}

Boolean CFURLGetFSRef(CFURLRef url, FSRef* fsRef) {
    const __CFURL* u = AsURL(url);
    struct stat info;
    if (u == nullptr || fsRef == nullptr || u->path.size() + 1 > sizeof fsRef->path ||
        stat(u->path.c_str(), &info) != 0)
        return false;
    std::memcpy(fsRef->path, u->path.c_str(), u->path.size() + 1);
    return true;
}

namespace cf {

std::string PathOf(CFURLRef url) {
    const __CFURL* u = AsURL(url);
    return u == nullptr ? std::string() : u->path;
}

} // namespace cf
