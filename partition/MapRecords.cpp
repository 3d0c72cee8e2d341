#include "partition/MapRecords.h"

#include <algorithm>
#include <cstring>

std::string_view GetTextField(const UInt8* field, std::size_t width) {
    const char* text = reinterpret_cast<const char*>(field);
    return std::string_view(text, strnlen(text, width));
}

void SetTextField(UInt8* field, std::size_t width, std::string_view text) {
    const std::size_t length = std::min(text.size(), width - 1);
    std::memcpy(field, text.data(), length);
    field[length] = 0;
}

bool PartitionIsFree(const Partition& p) {
    return p.pmParType().find("Apple_Free") != std::string_view::npos;
}

bool PartitionIsHFS(const Partition& p) {
    return p.pmParType().find("Apple_HFS") != std::string_view::npos;
}
