// Finding the drives at start-up: every object of the maker's ATA-6 driver
// class in the IOService plane becomes one record of the drive table and one
// item of the drive popup.
#pragma once

#include "platform/iokit/IOKitLib.h"

// The class of the driver objects that serve the drives this program works on
// (objects of derived classes count as well).
#define kATA6DriverClassName "com_Varnholme_ATA6BlockStorageDriver"

// Clears the drive table, then fills record i and appends popup item i + 3 for
// the i-th driver object in plane order. The table holds the first
// kMaxSavedDrives of them; any further one is ignored. Returns 0, or the
// status with which the registry walk could not be started.
kern_return_t FindAllATADrives();
