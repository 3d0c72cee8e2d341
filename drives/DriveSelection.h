// The user's choice of a drive in the drive popup: the 128 GiB gate, the open
// of the drive's raw device, and what the main window shows of the drive.
#pragma once

#include "drives/DriveTable.h"
#include "platform/toolbox/ToolboxTypes.h"

// Smallest drive worked on, in 512-byte blocks: one block short of 128 GiB.
constexpr SInt64 kMinimumDriveBlocks = 0x0FFFFFFF;

// The record that popup item stands for, or null when the item is not a drive
// (the popup's own first item, the separator, or past the drives listed).
SavedDriveInfo* DriveRecordForPopupItem(SInt32 item);

// True when a drive of this size reaches the minimum block count. Drives too
// large for the partition map's 32-bit block fields pass here; the map
// extension refuses them.
Boolean DriveIsLargeEnough(SInt64 sizeInBytes);

// Handles a hit on the drive popup ('popb', 1): a drive below the gate is
// refused with an alert and the popup goes back to item 1; an accepted drive
// becomes gActiveDrive, its raw device is opened into gUnixReadFileRef (the
// previous descriptor closed), and when the open succeeds the window shows the
// drive and the push button is activated. Items that are no drive do nothing.
void DoPopupMenuSelection(ControlRef popup);

// Shows gActiveDrive (which must be set) in the main window: interface
// description, size text and media icon.
void UpdateSelectedDriveInfo();
