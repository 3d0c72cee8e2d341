#include "host/MapWriter.h"

#include "host/MapImageCheck.h"
#include "partition/MapRecords.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace host {

namespace {

// Closes the descriptor it holds.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }

  private:
    int fd_;
};

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// Moves all of bytes with transfer (pread or pwrite), going on after short
// transfers and interruptions; false with errno set when the device fails or
// ends early.
template <class Byte, class Transfer>
bool TransferAll(Transfer transfer, int fd, std::span<Byte> bytes, off_t offset) {
    while (!bytes.empty()) {
        ssize_t done = transfer(fd, bytes.data(), bytes.size(), offset);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            if (done == 0)
                errno = EIO;
            return false;
        }
        bytes = bytes.subspan(size_t(done));
        offset += done;
    }
    return true;
}

bool WriteAll(int fd, std::span<const UInt8> bytes, off_t offset) {
    return TransferAll(::pwrite, fd, bytes, offset);
}

bool ReadAll(int fd, std::span<UInt8> bytes, off_t offset) {
    return TransferAll(::pread, fd, bytes, offset);
}

// Size in bytes of a regular file or block device; -1 on failure.
off_t DeviceSize(int fd) {
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return -1;
    if (S_ISREG(info.st_mode))
        return info.st_size;
    return ::lseek(fd, 0, SEEK_END);
}

std::string UTCStamp() {
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
    return text;
}

// Writes bytes to a new file in dir and flushes file and folder; the path
// on success, empty with *problem set on failure.
std::string WriteBackup(const std::string& dir, const std::string& stem,
                        std::span<const UInt8> bytes, std::string* problem) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        *problem = "cannot make the backup folder " + dir + ": " + ec.message();
        return {};
    }
    std::string base = dir + "/" + stem + "-" + UTCStamp();
    for (int attempt = 1; attempt < 1000; ++attempt) {
        std::string path = base + (attempt > 1 ? "-" + std::to_string(attempt) : "") + ".apm";
        FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
        if (!file.ok() && errno == EEXIST)
            continue;
        if (!file.ok()) {
            *problem = SystemError("cannot create the backup " + path);
            return {};
        }
        if (!WriteAll(file.get(), bytes, 0) || ::fsync(file.get()) != 0) {
            *problem = SystemError("cannot write the backup " + path);
            ::unlink(path.c_str());
            return {};
        }
        FileDescriptor folder(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!folder.ok() || ::fsync(folder.get()) != 0) {
            *problem = SystemError("cannot flush the backup folder " + dir);
            ::unlink(path.c_str());
            return {};
        }
        return path;
    }
    *problem = "no free backup name for " + base;
    return {};
}

} // namespace

MapReplacement ReplaceMapArea(const std::string& devicePath, std::span<const UInt8> image,
                              const std::string& backupDir, const std::string& backupStem) {
    MapReplacement result;
    auto fail = [&](IOReturn status, std::string problem) {
        result.status = status;
        result.problem = std::move(problem);
        return result;
    };

    FileDescriptor device(::open(devicePath.c_str(), O_RDWR | O_CLOEXEC));
    if (!device.ok())
        return fail(kIOReturnNoDevice, SystemError("cannot open " + devicePath + " for writing"));
    off_t size = DeviceSize(device.get());
    if (size < 0)
        return fail(kIOReturnIOError, SystemError("cannot tell the size of " + devicePath));

    std::string problem = MapImageProblem(image, UInt64(size) / kBlockSize);
    if (!problem.empty())
        return fail(kIOReturnBadArgument, "not a map for " + devicePath + ": " + problem);

    std::array<UInt8, kMapImageSize> previous{};
    if (!ReadAll(device.get(), previous, 0))
        return fail(kIOReturnIOError, SystemError("cannot read the map area of " + devicePath));
    result.backupPath = WriteBackup(backupDir, backupStem, previous, &problem);
    if (result.backupPath.empty())
        return fail(kIOReturnIOError, problem);

    if (!WriteAll(device.get(), image, 0))
        return fail(kIOReturnIOError, SystemError("cannot write " + devicePath));
    if (::fsync(device.get()) != 0)
        return fail(kIOReturnIOError, SystemError("cannot flush " + devicePath));
    std::array<UInt8, kMapImageSize> written{};
    if (!ReadAll(device.get(), written, 0))
        return fail(kIOReturnIOError, SystemError("cannot read back " + devicePath));
    if (!std::equal(written.begin(), written.end(), image.begin()))
        return fail(kIOReturnIOError, devicePath + " does not read back what was written");
    result.status = kIOReturnSuccess;
    return result;
}

} // namespace host
