// The program's entry: the simulated host and the view are set up first, then
// the application starts as on the Mac: version check, I/O buffer, interface
// file, and either the relaunch with root rights or the root process's run.
#include "app/ControlHelpers.h"
#include "app/LocalizedAlert.h"
#include "app/StartUp.h"
#include "app/Windows.h"
#include "drives/Discovery.h"
#include "drives/DriveTable.h"
#include "host/HostStartUp.h"
#include "partition/MapBuffer.h"
#include "platform/security/Authorization.h"
#include "platform/toolbox/CarbonEvents.h"
#include "platform/toolbox/Gestalt.h"
#include "platform/toolbox/IconServices.h"
#include "platform/toolbox/ProcessManager.h"
#include "platform/toolbox/StandardAlerts.h"
#include "views/ViewChoice.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

AuthorizationRef gAuthorizationRef = nullptr;

// Mac OS X 10.2.0 as Gestalt answers it.
constexpr SInt32 kTenTwo = 0x1020;

// The ordinary user's process: runs this executable again with root rights
// and the single argument "-un", and ends.
int RelaunchWithRootRights() {
    char path[kPathBufferSize];
    UInt32 size = 0;
    MyGetExecutablePath(path, &size); // answers -1 with the size the path needs
    // A path that needs more room than the buffer is a failed lookup.
    if (size > sizeof path || MyGetExecutablePath(path, &size) != 0)
        return -1;

    OSStatus status =
        AuthorizationCreate(nullptr, nullptr, kAuthorizationFlagDefaults, &gAuthorizationRef);
    if (status != noErr)
        return status;
    char unArgument[] = "-un";
    char* arguments[] = {unArgument, nullptr};
    AuthorizationExecuteWithPrivileges(gAuthorizationRef, path, kAuthorizationFlagDefaults,
                                       arguments, nullptr);
    AuthorizationFree(gAuthorizationRef, kAuthorizationFlagDestroyRights);
    return 0;
}

// The root process: the windows, the drives, the event loop and shutdown.
int RunAsRoot() {
    ProcessSerialNumber process;
    GetCurrentProcess(&process);
    SetFrontProcess(&process);

    if (!getPathForFile(CFSTR("AppIcon.icns"), gPathToAppIcon))
        return 0;
    // Both buffers have the same size, so the copy always fits.
    std::memcpy(gPathToAllIcons, gPathToAppIcon, sizeof gPathToAllIcons);
    if (char* name = std::strstr(gPathToAllIcons, "AppIcon.icns"))
        *name = '\0';

    CreateAllWindows();
    AddSeparatorToPopupRef(gMainWindow, 1);
    FindAllATADrives();
    RunApplicationEventLoop();

    if (gUnixReadFileRef > 0)
        close(gUnixReadFileRef);
    for (OSType slot : {kAppIconSlot, kAppLogoSlot, kDriveIconSlot, kVolumeIconSlot})
        UnregisterIconRef(kIconCreator, slot);
    return 0;
}

} // namespace

int main() {
    if (!host::EnterSimulatedHost())
        return 1; // it has said why
    toolbox::SetToolboxView(ChooseView());

    SInt32 systemVersion = 0;
    if (Gestalt(gestaltSystemVersion, &systemVersion) != noErr) {
        std::fprintf(stderr,
                     "%s: cannot tell the system version (%s); going on as on Mac OS X 10.2 or "
                     "later\n",
                     program_invocation_short_name, GestaltProblem().c_str());
    } else if (systemVersion < kTenTwo) {
        DoStandardLocalizedAlert(CFSTR("TenTwoOrHigher"), nullptr, kAlertStopAlert);
        return 0;
    }

    if (SetUpIOBuffer() != IOBufferSetUp::ready)
        return 0;

    Initialize();
    if (geteuid() != 0)
        return RelaunchWithRootRights();
    return RunAsRoot();
}
