// Raw reads of 512-byte blocks from a device.
#pragma once

#include "platform/MacTypes.h"

// Reads byteCount bytes at block * 512 (a 64-bit offset) in one pread. True
// exactly when all of them arrived; a short read is a failure, and the
// destination may then hold part of the data.
Boolean ReadBytesFromBlock512DevFile(int fd, UInt64 block, UInt32 byteCount, void* destination);
// The same from the chosen drive's raw device, gUnixReadFileRef.
Boolean ReadBytesFromBlock512(UInt64 block, UInt32 byteCount, void* destination);
