// Byte counts as short texts in units of 1024 with one decimal, such as
// "149.0 GB", with a leading '-' for negative counts.
#pragma once

#include "platform/MacTypes.h"

// Room the caller provides: "-1024.0 KB" and the terminator.
constexpr int kByteSizeTextRoom = 11;

void BytesSInt64ToCStrWLabel(SInt64 value, char* out);
