// Registry numbers and data as text, for a drive's interface description.
#pragma once

#include "platform/corefoundation/CoreFoundation.h"

// The room both routines are given: a longer text is cut to its first 255
// characters.
constexpr int kRegistryValueTextRoom = 256;

// The number in decimal, or in hexadecimal when hex is set, in the format its
// own type code chooses: 8-bit as a character ("%c", with hex "%cX"), 16 and
// 32-bit as signed decimal or hexadecimal without leading zeros, 64-bit as
// signed decimal or 16 hexadecimal digits, floats as "%f" (hex ignored). Type
// code 14 gives the empty text; an unknown type code or an unreadable value
// leaves out as it was.
void ConvertCFNumberToCStr(CFNumberRef number, char* out, Boolean hex);

// The hexadecimal text of the data's bytes, two digits per byte. Only the
// first 127 bytes fit the room; a longer object shows those. When no working
// block can be had, out is the empty text.
void ConvertCFDataToCStr(CFDataRef data, char* out);
