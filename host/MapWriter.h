// Replacing the map area (blocks 0 to 63) of a device or disk image, as the
// driver stand-in and tools/restore-map do it: the image is checked, the
// device's current map area is kept in a backup file flushed to stable
// storage, and only then is the image written, flushed, read back and
// compared.
#pragma once

#include "platform/iokit/IOKitLib.h"

#include <span>
#include <string>

namespace host {

struct MapReplacement {
    // 0 when the image is on the device and reads back the same; otherwise
    // kIOReturnBadArgument (the image failed its checks), kIOReturnNoDevice
    // (the device cannot be opened for writing) or kIOReturnIOError.
    IOReturn status = kIOReturnError;
    // The copy of the previous map area, once it has been made (it stays
    // when a later step fails); empty before.
    std::string backupPath;
    // What went wrong, in one line; empty on success.
    std::string problem;
};

// The backup goes into backupDir (made when missing) as
// "<backupStem>-<UTC time>.apm", with "-2", "-3", ... added before ".apm"
// when that name is taken.
MapReplacement ReplaceMapArea(const std::string& devicePath, std::span<const UInt8> image,
                              const std::string& backupDir, const std::string& backupStem);

} // namespace host
