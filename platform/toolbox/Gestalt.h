// Gestalt: what the system is. This host answers the system version from the
// host folder's System/Library/CoreServices/SystemVersion.plist.
#pragma once

#include "platform/MacTypes.h"

#include <string>

enum : OSType {
    gestaltSystemVersion = 'sysv',
};

enum : OSErr {
    gestaltUnknownErr = -5550,
    gestaltUndefSelectorErr = -5551,
};

// For 'sysv': the version as binary-coded decimal, 10.4.11 as 0x1049 (the
// major version in two digits, minor and bug-fix in one each, capped at 9).
// On an error *response is left as it was.
OSErr Gestalt(OSType selector, SInt32* response);

// Why the last call failed, in one line naming the file where there is one;
// empty after a call that succeeded.
const std::string& GestaltProblem();
