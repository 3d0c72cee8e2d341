// The two on-disk records of the Apple Partition Map, kept as the 512 bytes
// that stand on the disk. Every field is read and written big-endian at its
// byte offset, so the bytes no operation names stay exactly as read.
#pragma once

#include "partition/BigEndian.h"
#include "platform/MacTypes.h"

#include <cstddef>
#include <string_view>

constexpr UInt32 kBlockSize = 512;
constexpr UInt16 kDriverDescriptorSignature = 'ER';
constexpr UInt16 kPartitionEntrySignature = 'PM';

// The map area: blocks 0 to 63, the driver descriptor and then 63 slots for
// map entries, slot k in block k.
constexpr UInt32 kMapImageSize = 0x8000;
constexpr UInt32 kMapSlotCount = 63;

// pmPartStatus of a valid, allocated, readable and writable HFS volume.
constexpr UInt32 kHFSPartitionStatus = 0x40000033;

// A text field: its text runs to the first NUL within the field, or fills it.
std::string_view GetTextField(const UInt8* field, std::size_t width);
// Writes the text and its NUL and nothing more; a text longer than width - 1
// characters is cut so that the NUL still fits.
void SetTextField(UInt8* field, std::size_t width, std::string_view text);

// The driver descriptor, device block 0.
struct Block0 {
    UInt8 bytes[kBlockSize];

    UInt16 sbSig() const { return GetBigEndian16(bytes + 0); }
    UInt16 sbBlkSize() const { return GetBigEndian16(bytes + 2); }
    UInt32 sbBlkCount() const { return GetBigEndian32(bytes + 4); }
    UInt16 sbDevType() const { return GetBigEndian16(bytes + 8); }
    UInt16 sbDevId() const { return GetBigEndian16(bytes + 10); }
    UInt32 sbData() const { return GetBigEndian32(bytes + 12); }
    UInt16 sbDrvrCount() const { return GetBigEndian16(bytes + 16); }

    void setSbSig(UInt16 v) { SetBigEndian16(bytes + 0, v); }
    void setSbBlkSize(UInt16 v) { SetBigEndian16(bytes + 2, v); }
    void setSbBlkCount(UInt32 v) { SetBigEndian32(bytes + 4, v); }
    void setSbDevType(UInt16 v) { SetBigEndian16(bytes + 8, v); }
    void setSbDevId(UInt16 v) { SetBigEndian16(bytes + 10, v); }
    void setSbData(UInt32 v) { SetBigEndian32(bytes + 12, v); }
    void setSbDrvrCount(UInt16 v) { SetBigEndian16(bytes + 16, v); }
};

// A partition map entry, one per block from device block 1.
struct Partition {
    static constexpr std::size_t kNameOffset = 16, kNameWidth = 32;
    static constexpr std::size_t kTypeOffset = 48, kTypeWidth = 32;
    static constexpr std::size_t kProcessorOffset = 120, kProcessorWidth = 16;

    UInt8 bytes[kBlockSize];

    UInt16 pmSig() const { return GetBigEndian16(bytes + 0); }
    UInt16 pmSigPad() const { return GetBigEndian16(bytes + 2); }
    UInt32 pmMapBlkCnt() const { return GetBigEndian32(bytes + 4); }
    UInt32 pmPyPartStart() const { return GetBigEndian32(bytes + 8); }
    UInt32 pmPartBlkCnt() const { return GetBigEndian32(bytes + 12); }
    std::string_view pmPartName() const { return GetTextField(bytes + kNameOffset, kNameWidth); }
    std::string_view pmParType() const { return GetTextField(bytes + kTypeOffset, kTypeWidth); }
    UInt32 pmLgDataStart() const { return GetBigEndian32(bytes + 80); }
    UInt32 pmDataCnt() const { return GetBigEndian32(bytes + 84); }
    UInt32 pmPartStatus() const { return GetBigEndian32(bytes + 88); }
    UInt32 pmLgBootStart() const { return GetBigEndian32(bytes + 92); }
    UInt32 pmBootSize() const { return GetBigEndian32(bytes + 96); }
    UInt32 pmBootAddr() const { return GetBigEndian32(bytes + 100); }
    UInt32 pmBootAddr2() const { return GetBigEndian32(bytes + 104); }
    UInt32 pmBootEntry() const { return GetBigEndian32(bytes + 108); }
    UInt32 pmBootEntry2() const { return GetBigEndian32(bytes + 112); }
    UInt32 pmBootCksum() const { return GetBigEndian32(bytes + 116); }
    std::string_view pmProcessor() const {
        return GetTextField(bytes + kProcessorOffset, kProcessorWidth);
    }

    void setPmSig(UInt16 v) { SetBigEndian16(bytes + 0, v); }
    void setPmSigPad(UInt16 v) { SetBigEndian16(bytes + 2, v); }
    void setPmMapBlkCnt(UInt32 v) { SetBigEndian32(bytes + 4, v); }
    void setPmPyPartStart(UInt32 v) { SetBigEndian32(bytes + 8, v); }
    void setPmPartBlkCnt(UInt32 v) { SetBigEndian32(bytes + 12, v); }
    void setPmPartName(std::string_view t) { SetTextField(bytes + kNameOffset, kNameWidth, t); }
    void setPmParType(std::string_view t) { SetTextField(bytes + kTypeOffset, kTypeWidth, t); }
    void setPmLgDataStart(UInt32 v) { SetBigEndian32(bytes + 80, v); }
    void setPmDataCnt(UInt32 v) { SetBigEndian32(bytes + 84, v); }
    void setPmPartStatus(UInt32 v) { SetBigEndian32(bytes + 88, v); }
    void setPmLgBootStart(UInt32 v) { SetBigEndian32(bytes + 92, v); }
    void setPmBootSize(UInt32 v) { SetBigEndian32(bytes + 96, v); }
    void setPmBootAddr(UInt32 v) { SetBigEndian32(bytes + 100, v); }
    void setPmBootAddr2(UInt32 v) { SetBigEndian32(bytes + 104, v); }
    void setPmBootEntry(UInt32 v) { SetBigEndian32(bytes + 108, v); }
    void setPmBootEntry2(UInt32 v) { SetBigEndian32(bytes + 112, v); }
    void setPmBootCksum(UInt32 v) { SetBigEndian32(bytes + 116, v); }
    void setPmProcessor(std::string_view t) {
        SetTextField(bytes + kProcessorOffset, kProcessorWidth, t);
    }
};

static_assert(sizeof(Block0) == kBlockSize && alignof(Block0) == 1);
static_assert(sizeof(Partition) == kBlockSize && alignof(Partition) == 1);

// A slot holds an entry when it carries the 'PM' signature.
inline bool IsPartitionEntry(const Partition& p) {
    return p.pmSig() == kPartitionEntrySignature;
}
// Substring checks on the type text: a longer name containing the word counts.
bool PartitionIsFree(const Partition& p);
bool PartitionIsHFS(const Partition& p);
