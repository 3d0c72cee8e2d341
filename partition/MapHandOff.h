// The hand-off of a new map to the drive's driver: the whole 32 KB image, as
// it is to stand in blocks 0 to 63, set as the property "ReplacePartitionMap"
// of the driver's registry entry. The driver writes it; this program never
// writes the device.
#pragma once

#include "platform/iokit/IOKitLib.h"

// Hands over the image in the I/O buffer once, without retry. Answers the
// driver's status: KERN_SUCCESS when it accepted the image.
kern_return_t HandOverMapImage(io_service_t driverService);
