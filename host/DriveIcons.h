// Media icons of the demo host's drives, drawn here (no artwork is copied)
// and written as .icns files with 32 and 128 pixel images and their masks.
#pragma once

#include "platform/MacTypes.h"

#include <string>
#include <vector>

namespace host {

enum class DriveIconKind { Internal, FireWire, USB, SCSI };

// An RGBA picture of a drive, size by size pixels, rows from the top, not
// premultiplied.
std::vector<UInt8> DrawDriveIcon(DriveIconKind kind, int size);

// Writes the icon file; false with *error set on failure.
bool WriteDriveIconFile(DriveIconKind kind, const std::string& path, std::string* error);

} // namespace host
