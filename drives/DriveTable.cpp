#include "drives/DriveTable.h"

SavedDriveInfo gSavedDriveInfoArray[kMaxSavedDrives];
SavedDriveInfo* gActiveDrive = nullptr;
int gUnixReadFileRef = 0;
