#include "drives/RegistryReaders.h"

#include "format/NumberText.h"
#include "format/RegistryValueText.h"
#include "platform/corefoundation/CFHelpers.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

// Where a search looks: the entry alone, the entry and what lies below it, or
// the entry and what lies above it.
constexpr IOOptionBits kEntryOnly = kIORegistryIterateParents;
constexpr IOOptionBits kEntryAndBelow = kIORegistryIterateRecursively;
constexpr IOOptionBits kEntryAndAbove = kIORegistryIterateRecursively | kIORegistryIterateParents;

// A search result: it belongs to the reader, which releases it when done.
using OwnedCF = cf::Owned<CFTypeRef>;

OwnedCF Search(io_service_t service, CFStringRef key, IOOptionBits options) {
    return OwnedCF(IORegistryEntrySearchCFProperty(service, kIOServicePlane, key,
                                                   kCFAllocatorDefault, options));
}

// The second search runs only when the first finds nothing.
OwnedCF Search(io_service_t service, CFStringRef key, IOOptionBits first, IOOptionBits second) {
    OwnedCF found = Search(service, key, first);
    return found ? std::move(found) : Search(service, key, second);
}

// The object as Ref when it has the expected type; null otherwise (a value of
// the wrong type counts as missing).
template <typename Ref> Ref As(CFTypeRef object, CFTypeID expected) {
    return object != nullptr && CFGetTypeID(object) == expected ? static_cast<Ref>(object)
                                                                : nullptr;
}
CFStringRef AsString(CFTypeRef object) {
    return As<CFStringRef>(object, CFStringGetTypeID());
}
CFNumberRef AsNumber(CFTypeRef object) {
    return As<CFNumberRef>(object, CFNumberGetTypeID());
}
CFDataRef AsData(CFTypeRef object) {
    return As<CFDataRef>(object, CFDataGetTypeID());
}
CFDictionaryRef AsDictionary(CFTypeRef object) {
    return As<CFDictionaryRef>(object, CFDictionaryGetTypeID());
}

// The string as ASCII with its terminator; on failure (a character outside
// ASCII, or no room) the buffer is left empty.
bool CopyASCII(CFStringRef string, char* buffer, CFIndex size) {
    if (CFStringGetCString(string, buffer, size, kCFStringEncodingASCII)) {
        return true;
    }
    buffer[0] = '\0';
    return false;
}

// A string value of a dictionary found by a search, as ASCII in out. Leaves
// out empty when any step finds nothing.
void CopyDictionaryText(io_service_t service, CFStringRef dictionaryKey, CFStringRef valueKey,
                        char (&out)[kRegistryTextSize]) {
    out[0] = '\0';
    OwnedCF found = Search(service, dictionaryKey, kEntryAndAbove, kEntryAndBelow);
    CFDictionaryRef dictionary = AsDictionary(found.get());
    if (dictionary == nullptr) {
        return;
    }
    CFStringRef value = AsString(CFDictionaryGetValue(dictionary, valueKey));
    if (value != nullptr) {
        CopyASCII(value, out, sizeof out);
    }
}

// Registry texts end up in paths inside the host folder; one that could climb
// out of its folder or into another is not used.
bool IsSinglePathComponent(const char* name) {
    return name[0] != '\0' && std::strchr(name, '/') == nullptr && std::strcmp(name, ".") != 0 &&
           std::strcmp(name, "..") != 0;
}

// A description composed by format; a longer one is cut to the 255 characters
// the buffer holds.
[[gnu::format(printf, 2, 3)]] void Compose(char (&text)[kRegistryTextSize], const char* format,
                                           ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
}

// Decimal or hexadecimal text of a registry number, in a buffer that starts
// empty (the conversion writes nothing for types it does not print).
void NumberText(CFNumberRef number, char (&text)[kRegistryTextSize], Boolean hex) {
    text[0] = '\0';
    ConvertCFNumberToCStr(number, text, hex);
}

// Connection text followed by a label and a number found by a search above the
// entry; nothing when that number is missing.
void ComposeWithNumber(io_service_t service, const char* connection, CFStringRef key,
                       const char* label, Boolean hex, char (&text)[kRegistryTextSize]) {
    OwnedCF found = Search(service, key, kEntryAndAbove);
    CFNumberRef number = AsNumber(found.get());
    if (number == nullptr) {
        return;
    }
    char numberText[kRegistryTextSize];
    NumberText(number, numberText, hex);
    Compose(text, "%s%s%s", connection, label, numberText);
}

// "<connection>:  ID = <target>", the target from "Protocol Characteristics"
// or, only when it has no "SCSI Target Identifier", from "SCSI Target".
void ComposeSCSI(io_service_t service, const char* connection, char (&text)[kRegistryTextSize]) {
    OwnedCF protocol = Search(service, CFSTR("Protocol Characteristics"), kEntryAndAbove);
    CFDictionaryRef characteristics = AsDictionary(protocol.get());
    if (characteristics == nullptr) {
        return;
    }
    CFTypeRef target = CFDictionaryGetValue(characteristics, CFSTR("SCSI Target Identifier"));
    OwnedCF searched;
    if (target == nullptr) {
        searched = Search(service, CFSTR("SCSI Target"), kEntryAndAbove);
        target = searched.get();
    }
    CFNumberRef number = AsNumber(target);
    if (number == nullptr) {
        return;
    }
    char targetText[kRegistryTextSize];
    NumberText(number, targetText, false);
    Compose(text, "%s%s%s", connection, ":  ID = ", targetText);
}

// The bus text of an ATA drive from its "io-device-location" data: the bytes
// read as text in the system encoding; "0" when no text results.
void BusTextFromLocation(CFDataRef location, char (&busText)[kRegistryTextSize]) {
    cf::Owned<CFStringRef> string(CFStringCreateFromExternalRepresentation(
        kCFAllocatorDefault, location, CFStringGetSystemEncoding()));
    if (!string ||
        !CFStringGetCString(string.get(), busText, sizeof busText, GetApplicationTextEncoding())) {
        busText[0] = '\0';
    }
    if (busText[0] == '\0') {
        std::strcpy(busText, "0");
    }
}

// "<connection> Bus <bus>: Master" or "...: Slave"; "????" when the registry
// names no bus at all.
void ComposeATA(io_service_t service, const char* connection, char (&text)[kRegistryTextSize]) {
    OwnedCF unit = Search(service, CFSTR("unit number"), kEntryAndAbove);
    CFNumberRef unitNumber = AsNumber(unit.get());
    if (unitNumber == nullptr) {
        return;
    }
    char unitText[kRegistryTextSize];
    NumberText(unitNumber, unitText, false);

    char busText[kRegistryTextSize] = "";
    OwnedCF busId = Search(service, CFSTR("AAPL,bus-id"), kEntryAndAbove);
    if (busId) {
        if (CFDataRef data = AsData(busId.get())) {
            ConvertCFDataToCStr(data, busText);
            StripLeadingZeros(busText);
            if (busText[0] == '\0') {
                std::strcpy(busText, "0");
            }
        } else {
            std::strcpy(busText, "???");
        }
    } else {
        OwnedCF location = Search(service, CFSTR("io-device-location"), kEntryAndAbove);
        if (!location) {
            std::strcpy(text, "????");
            return;
        }
        if (CFDataRef data = AsData(location.get())) {
            BusTextFromLocation(data, busText);
        } else {
            std::strcpy(busText, "???");
        }
    }

    // Unit 0 is the master; so is a unit that printed as nothing.
    const bool master = std::strstr("0", unitText) != nullptr;
    Compose(text, "%s Bus %s: %s", connection, busText, master ? "Master" : "Slave");
}

} // namespace

void IOKitUtilsGetDeviceProductNameCStr(io_service_t service, char (&out)[kRegistryTextSize]) {
    CopyDictionaryText(service, CFSTR("Device Characteristics"), CFSTR("Product Name"), out);
    // Drives pad their names with spaces; the name ends at the first pair.
    if (char* padding = std::strstr(out, "  ")) {
        *padding = '\0';
    }
}

void IOKitUtilsGetDeviceProductNamePStr(io_service_t service, Str255 out) {
    char name[kRegistryTextSize];
    IOKitUtilsGetDeviceProductNameCStr(service, name);
    CopyCStringToPascal(name, out);
}

void IOKitUtilsGetDeviceInterfaceInfo(io_service_t service, Str255 out) {
    OwnedCF protocol =
        Search(service, CFSTR("Protocol Characteristics"), kEntryAndAbove, kEntryAndBelow);
    CFDictionaryRef characteristics = AsDictionary(protocol.get());
    if (characteristics == nullptr) {
        return;
    }
    CFStringRef interconnect =
        AsString(CFDictionaryGetValue(characteristics, CFSTR("Physical Interconnect")));
    char connection[kRegistryTextSize];
    if (interconnect == nullptr || !CopyASCII(interconnect, connection, sizeof connection)) {
        return;
    }

    // The first connection type the text names decides; "ATAPI" names ATA.
    char text[kRegistryTextSize] = "";
    if (std::strstr(connection, "SCSI")) {
        ComposeSCSI(service, connection, text);
    } else if (std::strstr(connection, "ATA")) {
        ComposeATA(service, connection, text);
    } else if (std::strstr(connection, "FireWire")) {
        ComposeWithNumber(service, connection, CFSTR("GUID"), ":  GUID = ", true, text);
    } else if (std::strstr(connection, "USB")) {
        ComposeWithNumber(service, connection, CFSTR("locationID"), ":  locationID = ", false,
                          text);
    } else if (std::strstr(connection, "Fibre Channel Interface")) {
        std::strcpy(text, connection);
    }
    CopyCStringToPascal(text, out);
}

void IOKitUtilsGetBDSName(io_service_t service, char (&out)[kRegistryPathSize]) {
    static constexpr char kRawDevicePrefix[] = "/dev/r";
    constexpr size_t kPrefixLength = sizeof kRawDevicePrefix - 1;

    out[0] = '\0';
    OwnedCF found = Search(service, CFSTR("BSD Name"), kEntryOnly, kEntryAndBelow);
    CFStringRef name = AsString(found.get());
    if (name == nullptr) {
        return;
    }
    char* nameText = out + kPrefixLength;
    if (!CopyASCII(name, nameText, sizeof out - kPrefixLength)) {
        return;
    }
    // A name shorter than the string held a NUL character.
    const bool wholeName = static_cast<CFIndex>(std::strlen(nameText)) == CFStringGetLength(name);
    if (!wholeName || !IsSinglePathComponent(nameText)) {
        out[0] = '\0';
        return;
    }
    std::memcpy(out, kRawDevicePrefix, kPrefixLength);
}

void IOKitUtilsGetDeviceSizeInBytes(io_service_t service, SInt64* out) {
    OwnedCF found = Search(service, CFSTR("Size"), kEntryOnly, kEntryAndBelow);
    if (CFNumberRef size = AsNumber(found.get())) {
        CFNumberGetValue(size, kCFNumberSInt64Type, out);
    }
}

void IOKitGetMediaIconFileName(io_service_t service, char (&out)[kRegistryTextSize]) {
    CopyDictionaryText(service, CFSTR("IOMediaIcon"), CFSTR("IOBundleResourceFile"), out);
}

void IOKitGetMediaIconBundleName(io_service_t service, char (&out)[kRegistryTextSize]) {
    CopyDictionaryText(service, CFSTR("IOMediaIcon"), CFSTR("CFBundleIdentifier"), out);
}

void IOKitGetMediaIconFullPath(io_service_t service, char (&out)[kRegistryPathSize]) {
    static constexpr char kSystemFamilyPrefix[] = "com.apple.iokit.";

    char fileName[kRegistryTextSize];
    char bundleName[kRegistryTextSize];
    IOKitGetMediaIconFileName(service, fileName);
    IOKitGetMediaIconBundleName(service, bundleName);

    // The system's own families are installed under the last part of their
    // identifier; any other extension under its whole identifier.
    const char* extensionName = bundleName;
    if (const char* family = std::strstr(bundleName, kSystemFamilyPrefix)) {
        extensionName = family + (sizeof kSystemFamilyPrefix - 1);
    }
    if (!IsSinglePathComponent(extensionName)) {
        extensionName = "";
    }
    if (!IsSinglePathComponent(fileName)) {
        fileName[0] = '\0';
    }
    std::snprintf(out, sizeof out, "System/Library/Extensions/%s.kext/Contents/Resources/%s",
                  extensionName, fileName);
}
