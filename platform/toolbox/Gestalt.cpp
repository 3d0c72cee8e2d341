#include "platform/toolbox/Gestalt.h"

#include "platform/corefoundation/CFHelpers.h"
#include "platform/corefoundation/PropertyList.h"
#include "platform/posix/DevicePaths.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr const char* kSystemVersionFile = "/System/Library/CoreServices/SystemVersion.plist";

std::string& Problem() {
    static std::string* problem = new std::string;
    return *problem;
}

OSErr Fail(OSErr err, std::string why) {
    Problem() = std::move(why);
    return err;
}

// "10.4.11" as 0x1049; false when the text is not dotted decimal numbers.
bool VersionToBCD(const std::string& text, SInt32* bcd) {
    std::vector<unsigned> parts;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end && parts.size() < 3) {
        unsigned value = 0;
        auto [next, ec] = std::from_chars(p, end, value);
        if (ec == std::errc::result_out_of_range)
            value = 99; // capped below anyway
        else if (ec != std::errc())
            return false;
        parts.push_back(value);
        p = next;
        if (p < end && *p != '.')
            return false;
        if (p < end)
            ++p;
    }
    if (parts.size() < 2 || p != end)
        return false;
    parts.resize(3, 0);
    unsigned major = std::min(parts[0], 99u);
    *bcd = SInt32((major / 10) << 12 | (major % 10) << 8 | std::min(parts[1], 9u) << 4 |
                  std::min(parts[2], 9u));
    return true;
}

OSErr SystemVersion(SInt32* response) {
    if (posix::HostRoot().empty())
        return Fail(gestaltUnknownErr, "the system version is unknown: no host folder is set");
    std::string path = posix::HostRoot() + kSystemVersionFile;
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return Fail(fnfErr, path + ": cannot be read: " + std::strerror(errno));
    std::string error;
    cf::Owned<CFPropertyListRef> plist(CreatePropertyListFromXMLFile(path.c_str(), &error));
    if (!plist)
        return Fail(gestaltUnknownErr, error); // names the file and the line
    if (CFGetTypeID(plist.get()) != CFDictionaryGetTypeID())
        return Fail(gestaltUnknownErr, path + ": the top level is not a dictionary");
    CFTypeRef version =
        CFDictionaryGetValue(static_cast<CFDictionaryRef>(plist.get()), CFSTR("ProductVersion"));
    if (!version || CFGetTypeID(version) != CFStringGetTypeID())
        return Fail(gestaltUnknownErr, path + ": no \"ProductVersion\" string");
    std::string text = cf::ToUTF8(static_cast<CFStringRef>(version));
    if (!VersionToBCD(text, response))
        return Fail(gestaltUnknownErr,
                    path + ": \"ProductVersion\" \"" + text + "\" is not a version number");
    return noErr;
}

} // namespace

OSErr Gestalt(OSType selector, SInt32* response) {
    Problem().clear();
    if (!response)
        return Fail(paramErr, "Gestalt was given no place for its answer");
    if (selector != gestaltSystemVersion)
        return Fail(gestaltUndefSelectorErr, "Gestalt has no answer for this selector");
    return SystemVersion(response);
}

const std::string& GestaltProblem() {
    return Problem();
}
