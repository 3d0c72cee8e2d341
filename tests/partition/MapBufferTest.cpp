#include "partition/MapBuffer.h"

#include "platform/toolbox/MemoryManager.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Start-up runs once per process; these tests run it again and put the
// buffer that other tests may use back afterwards.
struct SavedBuffer {
    Ptr buffer = myIOBuffer;
    Block0* block0 = gBlock0Ptr;
    Ptr fullMap = gFullPartMapPtr;
    Partition* firstPart = gFirstPartPtr;

    ~SavedBuffer() {
        myIOBuffer = buffer;
        gBlock0Ptr = block0;
        gFullPartMapPtr = fullMap;
        gFirstPartPtr = firstPart;
    }
};

} // namespace

TEST(IOBuffer, StartUpLaysTheMapPointersOverA1MBZeroFilledBuffer) {
    SavedBuffer saved;
    ASSERT_EQ(SetUpIOBuffer(), IOBufferSetUp::ready);
    ASSERT_NE(myIOBuffer, nullptr);
    EXPECT_EQ(reinterpret_cast<Ptr>(gBlock0Ptr), myIOBuffer);
    EXPECT_EQ(gFullPartMapPtr, myIOBuffer);
    EXPECT_EQ(reinterpret_cast<Ptr>(gFirstPartPtr), myIOBuffer + 512);
    EXPECT_EQ(reinterpret_cast<Ptr>(&MapSlot(63)), myIOBuffer + 63 * 512);
    EXPECT_TRUE(std::all_of(myIOBuffer, myIOBuffer + 0x100000, [](char c) { return c == 0; }));
    DisposePtr(myIOBuffer);
}

TEST(IOBuffer, StartUpTellsWhenThereIsNoMemory) {
    SavedBuffer saved;
    SetNewPtrFailureForTesting(true);
    const IOBufferSetUp result = SetUpIOBuffer();
    SetNewPtrFailureForTesting(false);
    EXPECT_EQ(result, IOBufferSetUp::notAllocated);
    EXPECT_EQ(myIOBuffer, nullptr);
}
