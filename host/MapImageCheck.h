// The checks a map image must pass before it may replace the first 32 KB of
// a device: a whole, consistent Apple Partition Map whose own partition holds
// its entries from block 1, and whose partitions lie on the device and do not
// overlap.
#pragma once

#include "platform/MacTypes.h"

#include <span>
#include <string>

namespace host {

// Empty when image may stand on a device of deviceBlocks blocks of 512
// bytes; otherwise what is wrong with it, in one line.
std::string MapImageProblem(std::span<const UInt8> image, UInt64 deviceBlocks);

} // namespace host
