#include "drives/Discovery.h"

#include "app/ControlHelpers.h"
#include "app/Windows.h"
#include "drives/DriveTable.h"
#include "drives/RegistryReaders.h"
#include "format/ByteSizeText.h"

#include <cstring>

namespace {

// Item number of record index in the drive popup: its own first item and the
// separator come before the drives.
constexpr SInt16 kDriveItemOffset = 2;
constexpr SInt16 kDrivePopupNumber = 1;

void FillDriveRecord(SavedDriveInfo& drive, SInt16 index, io_service_t service) {
    IOKitUtilsGetDeviceProductNamePStr(service, drive.productName);
    IOKitUtilsGetDeviceInterfaceInfo(service, drive.interfaceInfo);
    IOKitUtilsGetBDSName(service, drive.rawDevicePath);
    IOKitUtilsGetDeviceSizeInBytes(service, &drive.sizeInBytes);
    if (drive.sizeInBytes != 0) {
        BytesSInt64ToCStrWLabel(drive.sizeInBytes, drive.sizeText);
    }
    IOKitGetMediaIconFullPath(service, drive.mediaIconPath);
    // The item needs the name and the icon path, so it comes after them.
    AppendPopupWithDriveAndIconPath(gMainWindow, &drive, kDrivePopupNumber, index, kDriveItemOffset,
                                    drive.mediaIconPath);
    drive.driverService = service;
}

} // namespace

kern_return_t FindAllATADrives() {
    std::memset(gSavedDriveInfoArray, 0, sizeof gSavedDriveInfoArray);

    CFMutableDictionaryRef matching = IOServiceMatching(kATA6DriverClassName);
    if (matching == nullptr) {
        return KERN_SUCCESS;
    }
    io_iterator_t iterator = 0;
    const kern_return_t status = IORegistryCreateIterator(kIOMasterPortDefault, kIOServicePlane,
                                                          kIORegistryIterateRecursively, &iterator);
    if (status != KERN_SUCCESS) {
        CFRelease(matching);
        return status;
    }

    // Once the table is full the walk stops: popup item n must always stand
    // for record n - 3, so a drive without a record gets no item either.
    SInt16 driveCount = 0;
    while (driveCount < kMaxSavedDrives) {
        const io_object_t entry = IOIteratorNext(iterator);
        if (entry == 0) {
            break;
        }
        if (!IOObjectConformsTo(entry, kATA6DriverClassName)) {
            IOObjectRelease(entry);
            continue;
        }
        // The record keeps the entry's handle for the whole run.
        FillDriveRecord(gSavedDriveInfoArray[driveCount], driveCount, entry);
        ++driveCount;
    }

    IOObjectRelease(iterator);
    CFRelease(matching);
    return KERN_SUCCESS;
}
