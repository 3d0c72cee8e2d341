// Bundles: an application folder "Name.app" whose Contents hold the
// executable (MacOS/), the resources (Resources/) and Info.plist. The main
// bundle is the one around the running executable, so the program finds its
// resources wherever the bundle is copied.
#include "platform/corefoundation/BundleLocation.h"
#include "platform/corefoundation/CFHelpers.h"
#include "platform/corefoundation/CFObject.h"
#include "platform/corefoundation/PropertyList.h"

#include <climits>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

struct __CFBundle : cf::Object {
    __CFBundle(std::string folder, bool immortal)
        : Object(cf::kBundleTypeID, immortal), folder(std::move(folder)) {}
    ~__CFBundle() override {
        for (auto& [name, table] : tables)
            CFRelease(table);
        CFRelease(info);
    }

    // A dictionary read from a property list file of the bundle; null when
    // the file is missing, malformed or not a dictionary. Read once, then
    // kept for the bundle's life (values handed out by Get calls live in it).
    CFDictionaryRef LoadDictionary(const std::string& relativePath) {
        std::string path = folder + "/" + relativePath;
        CFPropertyListRef plist = CreatePropertyListFromXMLFile(path.c_str(), nullptr);
        if (plist != nullptr && CFGetTypeID(plist) != CFDictionaryGetTypeID()) {
            CFRelease(plist);
            return nullptr;
        }
        return static_cast<CFDictionaryRef>(plist);
    }

    CFDictionaryRef Info() {
        if (!infoLoaded) {
            info = LoadDictionary("Contents/Info.plist");
            infoLoaded = true;
        }
        return info;
    }

    CFDictionaryRef StringsTable(const std::string& name) {
        auto found = tables.find(name);
        if (found == tables.end())
            found = tables
                        .emplace(name, LoadDictionary("Contents/Resources/English.lproj/" + name +
                                                      ".strings"))
                        .first;
        return found->second;
    }

    const std::string folder;
    bool infoLoaded = false;
    CFDictionaryRef info = nullptr;
    std::map<std::string, CFDictionaryRef> tables;
};

namespace {

__CFBundle* AsBundle(CFBundleRef bundle) {
    return const_cast<__CFBundle*>(cf::As<__CFBundle>(bundle, cf::kBundleTypeID));
}

bool IsDirectory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string_view ParentOf(std::string_view path) {
    size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

std::string_view LastComponentOf(std::string_view path) {
    size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

namespace cf {

std::optional<std::string> BundleFolderOfExecutable(std::string_view executablePath) {
    std::string_view macOS = ParentOf(executablePath);
    std::string_view contents = ParentOf(macOS);
    std::string_view bundle = ParentOf(contents);
    std::string_view bundleName = LastComponentOf(bundle);
    if (LastComponentOf(executablePath).empty() || LastComponentOf(macOS) != "MacOS" ||
        LastComponentOf(contents) != "Contents" || bundleName.size() <= 4 ||
        !bundleName.ends_with(".app"))
        return std::nullopt;
    return std::string(bundle);
}

} // namespace cf

CFTypeID CFBundleGetTypeID() {
    return cf::kBundleTypeID;
}

CFBundleRef CFBundleGetMainBundle() {
    static CFBundleRef mainBundle = []() -> CFBundleRef {
        char path[PATH_MAX];
        ssize_t length = readlink("/proc/self/exe", path, sizeof path);
        if (length <= 0 || static_cast<size_t>(length) >= sizeof path)
            return nullptr;
        auto folder =
            cf::BundleFolderOfExecutable(std::string_view(path, static_cast<size_t>(length)));
        if (!folder)
            return nullptr;
        return new __CFBundle(std::move(*folder), true);
    }();
    return mainBundle;
}

CFBundleRef CFBundleCreate(CFAllocatorRef, CFURLRef bundleURL) {
    std::string folder = cf::PathOf(bundleURL);
    if (folder.empty() || !IsDirectory(folder))
        return nullptr;
    return new __CFBundle(std::move(folder), false);
}

CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle) {
    __CFBundle* b = AsBundle(bundle);
    if (b == nullptr)
        return nullptr;
    std::string path = b->folder + "/Contents/Resources";
    return CFURLCreateFromFileSystemRepresentation(kCFAllocatorDefault,
                                                   reinterpret_cast<const UInt8*>(path.data()),
                                                   static_cast<CFIndex>(path.size()), true);
}

CFStringRef CFBundleCopyLocalizedString(CFBundleRef bundle, CFStringRef key, CFStringRef value,
                                        CFStringRef tableName) {
    // Without a translation the value is the answer, or the key when there is no value.
    CFStringRef result = value != nullptr ? value : key;
    __CFBundle* b = AsBundle(bundle);
    if (b != nullptr && key != nullptr) {
        std::string table = tableName == nullptr ? "Localizable" : cf::ToUTF8(tableName);
        const void* translation = CFDictionaryGetValue(b->StringsTable(table), key);
        if (CFGetTypeID(translation) == CFStringGetTypeID())
            result = static_cast<CFStringRef>(translation);
    }
    return static_cast<CFStringRef>(CFRetain(result));
}

CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key) {
    __CFBundle* b = AsBundle(bundle);
    if (b == nullptr || key == nullptr)
        return nullptr;
    return CFDictionaryGetValue(b->Info(), key);
}
