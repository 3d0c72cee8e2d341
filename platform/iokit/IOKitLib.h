// The I/O Registry as the application uses it: iteration over the IOService
// plane, the class test, property search and property set. Registry objects
// are handles; every handle handed out is released with IOObjectRelease.
#pragma once

#include "platform/MacTypes.h"
#include "platform/corefoundation/CoreFoundation.h"

typedef UInt32 mach_port_t;
typedef mach_port_t io_object_t;
typedef io_object_t io_registry_entry_t;
typedef io_object_t io_service_t;
typedef io_object_t io_iterator_t;
typedef int kern_return_t;
typedef int IOReturn;
typedef UInt32 IOOptionBits;
typedef int boolean_t;
typedef char io_name_t[128];

#define kIOServicePlane "IOService"

extern const mach_port_t kIOMasterPortDefault;

enum : IOOptionBits {
    kIORegistryIterateRecursively = 0x00000001,
    kIORegistryIterateParents = 0x00000002,
};

enum : kern_return_t {
    KERN_SUCCESS = 0,
};

enum : IOReturn {
    kIOReturnSuccess = 0,
    kIOReturnError = (int)0xe00002bc,
    kIOReturnNoMemory = (int)0xe00002bd,
    kIOReturnBadArgument = (int)0xe00002c2,
    kIOReturnNoDevice = (int)0xe00002c0,
    kIOReturnUnsupported = (int)0xe00002c7,
    kIOReturnIOError = (int)0xe00002ca,
    kIOReturnNotPermitted = (int)0xe00002e2,
    kIOReturnNotFound = (int)0xe00002f0,
};

// A matching dictionary for the class; the caller releases it.
CFMutableDictionaryRef IOServiceMatching(const char* name);

kern_return_t IORegistryCreateIterator(mach_port_t masterPort, const io_name_t plane,
                                       IOOptionBits options, io_iterator_t* iterator);
// The next entry (a new handle), or 0 when all have been handed out.
io_object_t IOIteratorNext(io_iterator_t iterator);
// True when the object's class is className or derives from it.
boolean_t IOObjectConformsTo(io_object_t object, const io_name_t className);
kern_return_t IOObjectGetClass(io_object_t object, io_name_t className);
kern_return_t IOObjectRetain(io_object_t object);
kern_return_t IOObjectRelease(io_object_t object);

// A new reference to the first value of key found from entry on: the entry
// alone; with kIORegistryIterateRecursively also its descendants; with both
// flags the entry and then its parents.
CFTypeRef IORegistryEntrySearchCFProperty(io_registry_entry_t entry, const io_name_t plane,
                                          CFStringRef key, CFAllocatorRef allocator,
                                          IOOptionBits options);
// Sets a property; a driver that serves the entry may act on it and answer.
kern_return_t IORegistryEntrySetCFProperty(io_registry_entry_t entry, CFStringRef propertyName,
                                           CFTypeRef property);
