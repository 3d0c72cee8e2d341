// Readers of what the storage drivers publish about a drive in the I/O
// Registry, starting from the drive's driver object. Each fills one buffer of
// the caller's; a property that is missing or of the wrong type leaves the
// output empty (the size: unchanged). None reports an error.
#pragma once

#include "platform/MacTypes.h"
#include "platform/iokit/IOKitLib.h"

// Room of the C-string outputs, terminator included.
constexpr int kRegistryTextSize = 256;
constexpr int kRegistryPathSize = 1024;

// "Product Name" of "Device Characteristics", cut before its first double
// space. Empty when missing or not plain ASCII.
void IOKitUtilsGetDeviceProductNameCStr(io_service_t service, char (&out)[kRegistryTextSize]);
void IOKitUtilsGetDeviceProductNamePStr(io_service_t service, Str255 out);

// How the drive is connected, such as "ATA Bus 1: Master", composed from
// "Protocol Characteristics" and the properties its connection type calls for,
// cut to 255 characters. out must hold the empty string on entry; it stays
// empty when nothing applies.
void IOKitUtilsGetDeviceInterfaceInfo(io_service_t service, Str255 out);

// The whole drive's raw device, "/dev/r" followed by its "BSD Name". Empty when
// the name is missing, not ASCII, or not a single path component.
void IOKitUtilsGetBDSName(io_service_t service, char (&out)[kRegistryPathSize]);

// "Size" in bytes; out keeps its value when the registry gives no number.
void IOKitUtilsGetDeviceSizeInBytes(io_service_t service, SInt64* out);

// "IOBundleResourceFile" and "CFBundleIdentifier" of "IOMediaIcon".
void IOKitGetMediaIconFileName(io_service_t service, char (&out)[kRegistryTextSize]);
void IOKitGetMediaIconBundleName(io_service_t service, char (&out)[kRegistryTextSize]);

// The media icon file, relative to the root folder:
// "System/Library/Extensions/<extension>.kext/Contents/Resources/<file>".
// Always written, also when the registry names no icon.
void IOKitGetMediaIconFullPath(io_service_t service, char (&out)[kRegistryPathSize]);
