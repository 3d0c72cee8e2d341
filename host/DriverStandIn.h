// The maker's ATA-6 block-storage driver as the simulated host plays it.
// Entries of its class (and of classes derived from it) answer the property
// "ReplacePartitionMap": a 32 KB map image that, once checked, replaces
// blocks 0 to 63 of the drive's device <host>/dev/<BSD name>, after the
// previous ones are kept in <host>/var/backups/. An integer property
// "ReplacePartitionMapRefusal" on the driver's entry makes it refuse every
// image with that status.
#pragma once

#include "platform/iokit/Registry.h"

namespace host {

inline constexpr const char* kDriverClassName = "com_Varnholme_ATA6BlockStorageDriver";

// The driver's answer to setting key to value on entry.
IOReturn DriverSetProperty(iokit::Entry& entry, CFStringRef key, CFTypeRef value);

// Makes the driver serve every entry of its class from now on.
void InstallDriverStandIn();

} // namespace host
