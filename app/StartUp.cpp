#include "app/StartUp.h"

#include "drives/DriveTable.h"
#include "platform/toolbox/DynamicLinker.h"
#include "platform/toolbox/Menus.h"
#include "platform/toolbox/Nibs.h"
#include "platform/toolbox/ProcessManager.h"

#include <unistd.h>

IBNibRef gMainNibRef = nullptr;
char gPathToAppIcon[kPathBufferSize];
char gPathToAllIcons[kPathBufferSize];

void Initialize() {
    InitCursor();
    gUnixReadFileRef = 0;
    CreateNibReference(CFSTR("main"), &gMainNibRef);
    SetMenuBarFromNib(gMainNibRef, CFSTR("MainMenu"));
    DrawMenuBar();
}

int MyGetExecutablePath(char* path, UInt32* size) {
    constexpr const char* kSymbol = "__NSGetExecutablePath";
    if (!NSIsSymbolNameDefined(kSymbol))
        return -1;
    NSSymbol symbol = NSLookupAndBindSymbol(kSymbol);
    auto getExecutablePath =
        reinterpret_cast<NSGetExecutablePathProcPtr>(NSAddressOfSymbol(symbol));
    return getExecutablePath(path, size);
}

Boolean getPathForFile(CFStringRef fileName, char (&path)[kPathBufferSize]) {
    CFBundleRef bundle = CFBundleGetMainBundle();
    if (!bundle)
        return false;
    CFURLRef resources = CFBundleCopyResourcesDirectoryURL(bundle);
    if (!resources)
        return false;
    CFURLRef file =
        CFURLCreateCopyAppendingPathComponent(kCFAllocatorDefault, resources, fileName, false);
    CFRelease(resources);
    if (!file)
        return false;
    Boolean fits = CFURLGetFileSystemRepresentation(file, true, reinterpret_cast<UInt8*>(path),
                                                    kPathBufferSize);
    CFRelease(file);
    if (!fits) {
        path[0] = '\0';
        return false;
    }
    return access(path, F_OK) == 0;
}
