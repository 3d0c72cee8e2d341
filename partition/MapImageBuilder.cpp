#include "partition/MapImageBuilder.h"

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace {

[[noreturn]] void ThrowIOError(const std::string& what, const std::string& path) {
    throw std::system_error(errno, std::generic_category(), what + " " + path);
}

// Closes the descriptor when it goes out of scope.
struct FileDescriptor {
    int fd;
    explicit FileDescriptor(int fd) : fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd >= 0) {
            close(fd);
        }
    }
};

void WriteImageAt0(int fd, const MapImage& image, const std::string& path) {
    const ssize_t written = pwrite(fd, image.bytes.data(), image.bytes.size(), 0);
    if (written < 0) {
        ThrowIOError("cannot write", path);
    }
    if (static_cast<size_t>(written) != image.bytes.size()) {
        throw std::system_error(EIO, std::generic_category(), "short write to " + path);
    }
}

} // namespace

Partition& MapImage::slot(UInt32 k) {
    if (k < 1 || k > kMapSlotCount) {
        throw std::out_of_range("map slot out of range");
    }
    return *reinterpret_cast<Partition*>(bytes.data() + k * kBlockSize);
}

const Partition& MapImage::slot(UInt32 k) const {
    return const_cast<MapImage*>(this)->slot(k);
}

MapImageBuilder::MapImageBuilder(UInt32 driveBlocks, UInt32 mapPartitionBlocks)
    : driveBlocks_(driveBlocks) {
    add({"Apple", "Apple_partition_map", 1, mapPartitionBlocks, kMapPartitionStatus});
}

MapImageBuilder& MapImageBuilder::add(MapEntrySpec entry) {
    entries_.push_back(std::move(entry));
    return *this;
}

MapImageBuilder& MapImageBuilder::addFree(UInt32 start, UInt32 count) {
    return add({"Extra", "Apple_Free", start, count, 0});
}

MapImageBuilder& MapImageBuilder::addHFS(std::string name, UInt32 start, UInt32 count) {
    return add({std::move(name), "Apple_HFS", start, count, kHFSPartitionStatus});
}

MapImage MapImageBuilder::build() const {
    if (entries_.size() > kMapSlotCount) {
        throw std::length_error("a partition map holds at most 63 entries");
    }
    MapImage image;
    Block0& descriptor = image.descriptor();
    descriptor.setSbSig(kDriverDescriptorSignature);
    descriptor.setSbBlkSize(kBlockSize);
    descriptor.setSbBlkCount(driveBlocks_);

    UInt32 k = 1;
    for (const MapEntrySpec& entry : entries_) {
        Partition& p = image.slot(k++);
        p.setPmSig(kPartitionEntrySignature);
        p.setPmMapBlkCnt(static_cast<UInt32>(entries_.size()));
        p.setPmPyPartStart(entry.start);
        p.setPmPartBlkCnt(entry.count);
        p.setPmPartName(entry.name);
        p.setPmParType(entry.type);
        p.setPmDataCnt(entry.count);
        p.setPmPartStatus(entry.status);
    }
    return image;
}

void CreateDiskImage(const std::string& path, UInt64 sizeInBytes, const MapImage& image) {
    if (sizeInBytes < image.bytes.size()) {
        throw std::invalid_argument("a disk image must hold at least the map area");
    }
    FileDescriptor file(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (file.fd < 0) {
        ThrowIOError("cannot create", path);
    }
    WriteImageAt0(file.fd, image, path);
    if (ftruncate(file.fd, static_cast<off_t>(sizeInBytes)) != 0) {
        ThrowIOError("cannot set the size of", path);
    }
}

void WriteMapImage(const std::string& path, const MapImage& image) {
    FileDescriptor file(open(path.c_str(), O_WRONLY | O_CLOEXEC));
    if (file.fd < 0) {
        ThrowIOError("cannot open", path);
    }
    WriteImageAt0(file.fd, image, path);
}

MapImage ReadMapImage(const std::string& path) {
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.fd < 0) {
        ThrowIOError("cannot open", path);
    }
    MapImage image;
    const ssize_t got = pread(file.fd, image.bytes.data(), image.bytes.size(), 0);
    if (got < 0) {
        ThrowIOError("cannot read", path);
    }
    if (static_cast<size_t>(got) != image.bytes.size()) {
        throw std::system_error(EIO, std::generic_category(), "short read from " + path);
    }
    return image;
}
