// The one reader and writer of XML property lists in the program: the host's
// registry file, the strings table, Info.plist, SystemVersion.plist and the
// interface file all go through it.
//
// Mapping: <string> CFString, <data> (base64) CFData, <dict> CFDictionary
// with string keys in document order, <array> CFArray, <true/>/<false/>
// CFBoolean, <real> a Float64 CFNumber, <integer size="8|16|32|64"> a CFNumber
// of type SInt8/16/32/64 (SInt64 without size). Integers are decimal, with an
// optional '-', or hexadecimal "0x..."; a value with the top bit of its width
// set stands for the two's-complement value (size="8" 0xFF and 255 are -1).
#pragma once

#include "platform/corefoundation/CoreFoundation.h"

#include <string>
#include <string_view>

// A new object read from the document (the caller releases it), or null with
// *error (when error is not null) set to one line naming the line number and
// what is wrong, e.g. "line 12: <integer> holds \"12x\", which is not a number".
CFPropertyListRef CreatePropertyListFromXMLData(std::string_view xml, std::string* error);

// As above for a file; the error starts with the path ("<path>: line 3: ...",
// "<path>: cannot be read: No such file or directory").
CFPropertyListRef CreatePropertyListFromXMLFile(const char* path, std::string* error);

// The document text of plist. False, with *error set, when plist holds an
// object a property list cannot carry (a URL, a non-string dictionary key, a
// string with a control character XML does not allow).
bool WritePropertyListToXMLData(CFPropertyListRef plist, std::string* xml, std::string* error);

// Writes the document to path, replacing the file whole (a new file is
// written beside it and renamed over it). False with *error set on failure.
bool WritePropertyListToXMLFile(CFPropertyListRef plist, const char* path, std::string* error);
