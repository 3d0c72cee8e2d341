// Small IOService planes for the drive tests, written as registry.plist text
// and loaded through the host's registry file loader, as the program loads its
// host's plane.
#pragma once

#include "drives/Discovery.h"
#include "host/RegistryFile.h"
#include "platform/iokit/IOKitLib.h"
#include "platform/iokit/Registry.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace drivetest {

// Property fragments of an entry dictionary.
inline std::string String(const std::string& key, const std::string& value) {
    return "<key>" + key + "</key><string>" + value + "</string>";
}
inline std::string Integer(const std::string& key, const std::string& value, int bits = 64) {
    return "<key>" + key + "</key><integer size=\"" + std::to_string(bits) + "\">" + value +
           "</integer>";
}
inline std::string Data(const std::string& key, const std::string& base64) {
    return "<key>" + key + "</key><data>" + base64 + "</data>";
}
inline std::string Dict(const std::string& key, const std::string& properties) {
    return "<key>" + key + "</key><dict>" + properties + "</dict>";
}

inline std::string Characteristics(const std::string& productName) {
    return Dict("Device Characteristics", String("Product Name", productName));
}
inline std::string Protocol(const std::string& interconnect, const std::string& more = "") {
    return Dict("Protocol Characteristics", String("Physical Interconnect", interconnect) + more);
}
inline std::string MediaIcon(const std::string& bundle, const std::string& file) {
    return Dict("IOMediaIcon",
                String("CFBundleIdentifier", bundle) + String("IOBundleResourceFile", file));
}

// One entry with its properties and children (entries), optionally naming the
// classes it derives from.
inline std::string Entry(const std::string& className, const std::string& properties = "",
                         const std::string& children = "",
                         const std::vector<std::string>& superclasses = {}) {
    std::string xml = "<dict>" + String("IOObjectClass", className);
    if (!superclasses.empty()) {
        xml += "<key>IOSuperclasses</key><array>";
        for (const auto& name : superclasses)
            xml += "<string>" + name + "</string>";
        xml += "</array>";
    }
    xml += properties;
    if (!children.empty())
        xml += "<key>IORegistryEntryChildren</key><array>" + children + "</array>";
    return xml + "</dict>";
}

inline std::string DriverEntry(const std::string& properties = "",
                               const std::string& children = "") {
    return Entry(kATA6DriverClassName, properties, children, {"IOBlockStorageDriver", "IOService"});
}

// Makes the plane whose root holds these children the loaded one; unloads it
// at the end of each test.
class RegistryTest : public ::testing::Test {
  protected:
    void TearDown() override {
        for (io_object_t handle : handles_)
            IOObjectRelease(handle);
        iokit::SetRegistryRoot(nullptr);
    }

    void LoadRegistry(const std::string& rootChildren) {
        const std::string path = registryFolder_.Write(
            "registry.plist",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" +
                Entry("IORegistryEntry", "", rootChildren) + "</plist>\n");
        std::string error;
        auto root = host::LoadRegistryFile(path, &error);
        ASSERT_TRUE(root) << error;
        iokit::SetRegistryRoot(root);
    }

    // A handle (released at the end of the test) to the first driver object
    // in plane order, or 0.
    io_service_t FirstDriver() {
        io_iterator_t iterator = 0;
        if (IORegistryCreateIterator(kIOMasterPortDefault, kIOServicePlane,
                                     kIORegistryIterateRecursively, &iterator) != KERN_SUCCESS)
            return 0;
        io_service_t found = 0;
        while (io_object_t entry = IOIteratorNext(iterator)) {
            if (!found && IOObjectConformsTo(entry, kATA6DriverClassName))
                found = entry;
            else
                IOObjectRelease(entry);
        }
        IOObjectRelease(iterator);
        if (found)
            handles_.push_back(found);
        return found;
    }

  private:
    TempFolder registryFolder_;
    std::vector<io_object_t> handles_;
};

} // namespace drivetest
