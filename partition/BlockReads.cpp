#include "partition/BlockReads.h"

#include "drives/DriveTable.h"

#include <cstdint>
#include <unistd.h>

Boolean ReadBytesFromBlock512DevFile(int fd, UInt64 block, UInt32 byteCount, void* destination) {
    // A block whose byte offset does not fit a file offset names no place on
    // any device; shifting it would wrap round to another block.
    if (block > (static_cast<UInt64>(INT64_MAX) >> 9)) {
        return false;
    }
    const off_t offset = static_cast<off_t>(block << 9);
    return pread(fd, destination, byteCount, offset) == static_cast<ssize_t>(byteCount);
}

Boolean ReadBytesFromBlock512(UInt64 block, UInt32 byteCount, void* destination) {
    return ReadBytesFromBlock512DevFile(gUnixReadFileRef, block, byteCount, destination);
}
