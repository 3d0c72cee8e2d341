// The Process Manager and the cursor.
#pragma once

#include "platform/toolbox/ToolboxTypes.h"

enum : UInt32 {
    kNoProcess = 0,
    kSystemProcess = 1,
    kCurrentProcess = 2,
};

enum : OSErr {
    procNotFound = -600,
};

OSErr GetCurrentProcess(ProcessSerialNumber* outPSN);
// Brings the application to the front; only this process can be named.
OSErr SetFrontProcess(const ProcessSerialNumber* psn);
// Lets the view close (so the screen and output are left in order) and ends
// the process with status 0.
[[noreturn]] void ExitToShell();

// Sets the standard arrow cursor.
void InitCursor();
