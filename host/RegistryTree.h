// Building property-list trees in code: registry.plist planes with their
// entries, and small documents such as SystemVersion.plist.
//
// Each function returns a new reference, and a container takes over the
// references put into it, so a whole tree is written as one nested
// expression and only its root is released (or handed to WriteTree).
#pragma once

#include "platform/corefoundation/CoreFoundation.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace host::tree {

using Value = CFTypeRef;
// Dictionary items in the order they are written.
using Properties = std::vector<std::pair<std::string, Value>>;

// Throws std::invalid_argument when text is not UTF-8.
Value Str(const std::string& text);
Value Int32(SInt32 value);
Value Int64(SInt64 value);
Value Bool(bool value);
Value Bytes(std::initializer_list<UInt8> bytes);

Value Dict(const Properties& properties);
Value Array(const std::vector<Value>& values);

// A registry entry as registry.plist holds it: its class, its name (none when
// empty), the classes it derives from (nearest first; none when empty), its
// properties and its children in plane order.
Value Entry(const std::string& className, const std::string& name,
            const std::vector<std::string>& superclasses, const Properties& properties,
            const std::vector<Value>& children = {});

// Writes the tree as an XML property list to path and releases it; false
// with *error set on failure.
bool WriteTree(Value tree, const std::string& path, std::string* error);

} // namespace host::tree
