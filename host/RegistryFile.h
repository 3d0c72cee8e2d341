// Reading registry.plist, the host's IOService plane: an XML property list
// whose top level is the root entry. An entry is a dictionary with
// "IOObjectClass" (string), optionally "IORegistryEntryName" (string),
// "IOSuperclasses" (array of strings, nearest first) and
// "IORegistryEntryChildren" (array of entry dictionaries, in plane order);
// every other key is a property of the entry.
#pragma once

#include "platform/iokit/Registry.h"

#include <memory>
#include <string>

namespace host {

// The root entry of the plane in the file, or null with *error set to one
// line naming the file and the line or entry that is wrong.
std::shared_ptr<iokit::Entry> LoadRegistryFile(const std::string& path, std::string* error);

} // namespace host
