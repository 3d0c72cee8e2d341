// Every message the application shows goes through one modal standard alert
// whose texts are looked up in the bundle's strings table by key.
#pragma once

#include "platform/corefoundation/CoreFoundation.h"

// Alert kinds: 0 stop ("Error"), 1 note ("Note"), 2 caution ("Caution"),
// any other value plain ("Message"). Returns when the user has dismissed it.
void DoStandardLocalizedAlert(CFStringRef message, CFStringRef secondary, SInt16 kind);
