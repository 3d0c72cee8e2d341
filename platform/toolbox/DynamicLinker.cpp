#include "platform/toolbox/DynamicLinker.h"

#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// The running executable's path as the kernel knows it, or "" when it cannot
// be read.
std::string RunningExecutablePath() {
    std::string path(256, '\0');
    for (;;) {
        ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0)
            return {};
        if (static_cast<size_t>(length) < path.size()) {
            path.resize(static_cast<size_t>(length));
            return path;
        }
        path.resize(path.size() * 2); // possibly cut short: read again with more room
    }
}

int GetExecutablePath(char* buf, UInt32* bufsize) {
    std::string path = RunningExecutablePath();
    if (path.empty())
        return -1; // nothing to report; the size stays as it was
    size_t needed = path.size() + 1;
    if (needed > *bufsize) {
        *bufsize = static_cast<UInt32>(needed);
        return -1;
    }
    std::memcpy(buf, path.c_str(), needed);
    return 0;
}

struct BindableSymbol {
    const char* name;
    void* address;
};

const BindableSymbol kSymbols[] = {
    {"__NSGetExecutablePath",
     reinterpret_cast<void*>(static_cast<NSGetExecutablePathProcPtr>(GetExecutablePath))},
};

const BindableSymbol* Find(const char* symbolName) {
    if (!symbolName)
        return nullptr;
    for (const BindableSymbol& symbol : kSymbols)
        if (std::strcmp(symbol.name, symbolName) == 0)
            return &symbol;
    return nullptr;
}

} // namespace

// An NSSymbol is the address of its table entry.
bool NSIsSymbolNameDefined(const char* symbolName) {
    return Find(symbolName) != nullptr;
}

NSSymbol NSLookupAndBindSymbol(const char* symbolName) {
    return reinterpret_cast<NSSymbol>(const_cast<BindableSymbol*>(Find(symbolName)));
}

void* NSAddressOfSymbol(NSSymbol symbol) {
    if (!symbol)
        return nullptr;
    return reinterpret_cast<const BindableSymbol*>(symbol)->address;
}
