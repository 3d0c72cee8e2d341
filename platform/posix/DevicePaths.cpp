#include "platform/posix/DevicePaths.h"

#include <cerrno>
#include <fcntl.h>
#include <vector>

namespace posix {

namespace {

std::string& Root() {
    static std::string* root = new std::string;
    return *root;
}

// The components of an absolute path, without empty and "." components.
std::vector<std::string_view> Components(std::string_view path) {
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        size_t slash = path.find('/');
        std::string_view part = path.substr(0, slash);
        if (!part.empty() && part != ".")
            parts.push_back(part);
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
    }
    return parts;
}

} // namespace

void SetHostRoot(const std::string& root) {
    Root() = root;
    while (Root().size() > 1 && Root().back() == '/')
        Root().pop_back();
}

const std::string& HostRoot() {
    return Root();
}

bool IsPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

std::string ResolveHostPath(const char* path) {
    if (!path)
        return {};
    std::string_view text(path);
    if (text.empty() || text.front() != '/')
        return std::string(text);
    auto parts = Components(text);
    if (parts.empty() || parts.front() != "dev")
        return std::string(text);
    if (Root().empty())
        return {};
    std::string resolved = Root();
    for (std::string_view part : parts) {
        if (part == "..")
            return {};
        resolved += '/';
        resolved += part;
    }
    return resolved;
}

int open(const char* path, int oflag, int mode) {
    std::string resolved = ResolveHostPath(path);
    if (resolved.empty()) {
        errno = ENOENT;
        return -1;
    }
    return ::open(resolved.c_str(), oflag, mode);
}

} // namespace posix
