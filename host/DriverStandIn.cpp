#include "host/DriverStandIn.h"

#include "host/MapWriter.h"
#include "platform/corefoundation/CFHelpers.h"
#include "platform/posix/DevicePaths.h"

#include <cstdio>
#include <string>

namespace host {

namespace {

bool HasType(CFTypeRef value, CFTypeID type) {
    return value && CFGetTypeID(value) == type;
}

// A driver keeps its own log; here it is one line on standard error.
IOReturn Refuse(IOReturn status, const std::string& why) {
    std::fprintf(stderr, "%s: refused \"ReplacePartitionMap\": %s\n", kDriverClassName,
                 why.c_str());
    return status;
}

// The whole drive's BSD name: the first "BSD Name" at or below the entry,
// when it is a plain ASCII file name; empty otherwise.
std::string WholeDriveName(const iokit::Entry& entry) {
    CFTypeRef value =
        iokit::FindProperty(entry, CFSTR("BSD Name"), iokit::SearchScope::EntryThenDescendants);
    if (!HasType(value, CFStringGetTypeID()))
        return {};
    std::string name = cf::ToUTF8(static_cast<CFStringRef>(value));
    for (unsigned char c : name) {
        if (c >= 0x80)
            return {};
    }
    return posix::IsPlainFileName(name) ? name : std::string();
}

} // namespace

IOReturn DriverSetProperty(iokit::Entry& entry, CFStringRef key, CFTypeRef value) {
    if (!CFEqual(key, CFSTR("ReplacePartitionMap")))
        return kIOReturnUnsupported;

    // The host owner's switch for trying the refused path: never an answer
    // of success, whatever number it holds.
    if (CFTypeRef refusal = entry.Property(CFSTR("ReplacePartitionMapRefusal"))) {
        SInt32 status = 0;
        if (HasType(refusal, CFNumberGetTypeID()))
            CFNumberGetValue(static_cast<CFNumberRef>(refusal), kCFNumberSInt32Type, &status);
        return Refuse(status != 0 ? status : kIOReturnError,
                      "\"ReplacePartitionMapRefusal\" is set");
    }

    if (!HasType(value, CFDataGetTypeID()))
        return Refuse(kIOReturnBadArgument, "the value is not data");
    auto data = static_cast<CFDataRef>(value);
    std::span<const UInt8> image(CFDataGetBytePtr(data), size_t(CFDataGetLength(data)));

    std::string name = WholeDriveName(entry);
    if (name.empty())
        return Refuse(kIOReturnNoDevice, "no usable \"BSD Name\" at or below the driver");
    std::string device = posix::ResolveHostPath(("/dev/" + name).c_str());
    if (device.empty())
        return Refuse(kIOReturnNoDevice, "no host folder is set");

    MapReplacement outcome =
        ReplaceMapArea(device, image, posix::HostRoot() + "/var/backups", name);
    if (outcome.status != kIOReturnSuccess) {
        std::string why = outcome.problem;
        if (!outcome.backupPath.empty())
            why += " (the previous map is kept in " + outcome.backupPath + ")";
        return Refuse(outcome.status, why);
    }
    return kIOReturnSuccess;
}

void InstallDriverStandIn() {
    iokit::SetPropertyHandler(kDriverClassName, DriverSetProperty);
}

} // namespace host
