// The dynamic linker's lookup of symbols by name, for the few symbols the
// program binds at run time. A symbol name carries the linker's leading
// underscore: the function _NSGetExecutablePath is "__NSGetExecutablePath".
#pragma once

#include "platform/MacTypes.h"

typedef struct OpaqueNSSymbol* NSSymbol;

// Whether a symbol of that name can be bound.
bool NSIsSymbolNameDefined(const char* symbolName);

// The symbol of that name, or null when there is none.
NSSymbol NSLookupAndBindSymbol(const char* symbolName);

// The address of a bound symbol (null for a null symbol).
void* NSAddressOfSymbol(NSSymbol symbol);

// The form of "__NSGetExecutablePath": writes the running executable's path
// with its terminator into buf and returns 0 when it fits *bufsize bytes;
// otherwise stores the size the path needs in *bufsize and returns -1.
typedef int (*NSGetExecutablePathProcPtr)(char* buf, UInt32* bufsize);
