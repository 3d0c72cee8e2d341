// The drive table: one fixed record per drive found at start-up, and the
// user's current choice. Data only; discovery fills the table, selection sets
// the choice, the map extension reads it.
#pragma once

#include "platform/MacTypes.h"
#include "platform/iokit/IOKitLib.h"

struct SavedDriveInfo {
    char rawDevicePath[1024];   // "/dev/r" + BSD name, NUL-terminated; empty without a BSD name
    char mediaIconPath[1024];   // relative icon file path, NUL-terminated
    char sizeText[256];         // size in short units such as "149.0 GB"; empty for size 0
    Str255 productName;         // Pascal string, may be empty
    Str255 interfaceInfo;       // Pascal string, may be empty
    SInt64 sizeInBytes;         // device size in bytes; 0 when unknown
    io_service_t driverService; // the driver object serving this drive, held for the whole run
};

// Room for this many drives; records past the number of drives found stay zero.
constexpr int kMaxSavedDrives = 20;

extern SavedDriveInfo gSavedDriveInfoArray[kMaxSavedDrives];

// The chosen record (always inside the table), or null before the first choice.
extern SavedDriveInfo* gActiveDrive;

// Descriptor of the chosen drive's raw device, opened read-only: 0 before any
// choice, -1 after a failed open.
extern int gUnixReadFileRef;
