// The Process Manager for the one process the toolbox serves, and the cursor.
#include "platform/toolbox/ProcessManager.h"

#include <cstdio>
#include <cstdlib>

#include "platform/toolbox/ToolboxModel.h"

OSErr GetCurrentProcess(ProcessSerialNumber* outPSN) {
    if (outPSN == nullptr)
        return paramErr;
    *outPSN = ProcessSerialNumber{0, kCurrentProcess};
    return noErr;
}

OSErr SetFrontProcess(const ProcessSerialNumber* psn) {
    if (psn == nullptr)
        return paramErr;
    if (psn->highLongOfPSN != 0 || psn->lowLongOfPSN != kCurrentProcess)
        return procNotFound;
    // The view brings its windows forward when it shows them.
    toolbox::NotifyChanged();
    return noErr;
}

void ExitToShell() {
    toolbox::State& state = toolbox::TheState();
    if (state.view)
        state.view->Close(toolbox::ViewModel());
    std::fflush(nullptr);
    std::exit(0);
}

// Views show the standard arrow whenever the program is not inside a modal
// alert; there is no other cursor to return from.
void InitCursor() {}
