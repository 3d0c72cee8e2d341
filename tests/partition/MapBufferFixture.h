// Tests that work on the map image in the I/O buffer: the buffer is set up
// once per process, as at start-up, and cleared before each test.
#pragma once

#include "partition/MapBuffer.h"
#include "partition/MapImageBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

class MapBufferTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (myIOBuffer == nullptr) {
            ASSERT_EQ(SetUpIOBuffer(), IOBufferSetUp::ready);
        }
    }

    void SetUp() override { std::memset(myIOBuffer, 0, kIOBufferSize); }

    static void Load(const MapImage& image) {
        std::memcpy(gFullPartMapPtr, image.bytes.data(), kMapImageSize);
    }

    static MapImage Image() {
        MapImage image;
        std::memcpy(image.bytes.data(), gFullPartMapPtr, kMapImageSize);
        return image;
    }

    // Everything behind the image must stay zero: walks may look at block 64
    // but never put anything there or further on.
    static bool BufferBehindImageIsZero() {
        return std::all_of(myIOBuffer + kMapImageSize, myIOBuffer + kIOBufferSize,
                           [](char c) { return c == 0; });
    }
};

// Equal images, reported by the first differing block and byte.
inline ::testing::AssertionResult SameImage(const MapImage& actual, const MapImage& expected) {
    for (std::size_t i = 0; i < kMapImageSize; ++i) {
        if (actual.bytes[i] != expected.bytes[i]) {
            return ::testing::AssertionFailure()
                   << "block " << i / kBlockSize << " byte " << i % kBlockSize << ": got "
                   << int(actual.bytes[i]) << ", expected " << int(expected.bytes[i]);
        }
    }
    return ::testing::AssertionSuccess();
}
