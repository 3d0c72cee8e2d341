// Nonrelocatable blocks on the C heap, and wiring with mlock.
#include "platform/toolbox/MemoryManager.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <sys/mman.h>

namespace {

std::atomic<bool> gNewPtrFails{false};

} // namespace

Ptr NewPtr(Size byteCount) {
    if (byteCount < 0 || gNewPtrFails)
        return nullptr;
    // A block of 0 bytes is still a distinct block that DisposePtr releases.
    return static_cast<Ptr>(std::malloc(byteCount > 0 ? static_cast<size_t>(byteCount) : 1));
}

Ptr NewPtrClear(Size byteCount) {
    if (byteCount < 0 || gNewPtrFails)
        return nullptr;
    return static_cast<Ptr>(std::calloc(byteCount > 0 ? static_cast<size_t>(byteCount) : 1, 1));
}

void DisposePtr(Ptr p) {
    std::free(p);
}

OSErr HoldMemory(void* address, unsigned long count) {
    if (address == nullptr)
        return paramErr;
    if (mlock(address, count) == 0)
        return noErr;
    // Wiring only keeps the block from being paged out; the block is
    // allocated and usable either way. An ordinary user's lock limit
    // (RLIMIT_MEMLOCK, ENOMEM), a missing privilege (EPERM) or a momentary
    // shortage (EAGAIN) must not stop the program, so they count as done.
    if (errno == ENOMEM || errno == EPERM || errno == EAGAIN)
        return noErr;
    return paramErr;
}

void SetNewPtrFailureForTesting(bool fail) {
    gNewPtrFails = fail;
}
