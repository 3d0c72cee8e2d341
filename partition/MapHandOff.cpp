#include "partition/MapHandOff.h"

#include "partition/MapBuffer.h"

kern_return_t HandOverMapImage(io_service_t driverService) {
    CFDataRef image = CFDataCreate(kCFAllocatorDefault,
                                   reinterpret_cast<const UInt8*>(gFullPartMapPtr), kMapImageSize);
    if (image == nullptr) {
        return kIOReturnNoMemory;
    }
    const kern_return_t result =
        IORegistryEntrySetCFProperty(driverService, CFSTR("ReplacePartitionMap"), image);
    CFRelease(image);
    return result;
}
