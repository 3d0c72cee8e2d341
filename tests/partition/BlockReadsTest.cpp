#include "partition/BlockReads.h"

#include "drives/DriveTable.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// A file opened read-only, closed at scope end.
struct OpenFile {
    int fd;
    explicit OpenFile(const std::string& path) : fd(open(path.c_str(), O_RDONLY)) {}
    ~OpenFile() { close(fd); }
};

void WriteAt(const std::string& path, off_t offset, const std::string& bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(pwrite(fd, bytes.data(), bytes.size(), offset), ssize_t(bytes.size()));
    close(fd);
}

} // namespace

TEST(BlockReads, ReadsAtTheBlockTimes512) {
    TempFolder dir;
    const std::string path = dir / "disk";
    for (int block = 0; block < 4; ++block) {
        WriteAt(path, block * 512, std::string(512, char('a' + block)));
    }
    OpenFile file(path);
    std::array<char, 700> data{};
    ASSERT_TRUE(ReadBytesFromBlock512DevFile(file.fd, 2, 600, data.data()));
    EXPECT_EQ(std::string(data.data(), 600), std::string(512, 'c') + std::string(88, 'd'));
    EXPECT_EQ(data[600], 0); // nothing beyond the byte count
}

TEST(BlockReads, AShortReadFailsEvenThoughDataArrived) {
    TempFolder dir;
    const std::string path = dir / "disk";
    WriteAt(path, 0, std::string(1000, 'x'));
    OpenFile file(path);
    std::array<char, 1024> data{};
    EXPECT_FALSE(ReadBytesFromBlock512DevFile(file.fd, 0, 1024, data.data()));
    EXPECT_EQ(data[999], 'x');
    EXPECT_FALSE(ReadBytesFromBlock512DevFile(file.fd, 2, 1, data.data())); // past the end
    EXPECT_TRUE(ReadBytesFromBlock512DevFile(file.fd, 1, 488, data.data()));
}

TEST(BlockReads, BlockNumbersBeyond32BitsGiveA64BitOffset) {
    TempFolder dir;
    const std::string path = dir / "sparse";
    const off_t twoTo41 = off_t(1) << 41;
    WriteAt(path, 0, "low!");
    WriteAt(path, twoTo41, "high");
    OpenFile file(path);
    char data[4] = {};
    ASSERT_TRUE(ReadBytesFromBlock512DevFile(file.fd, UInt64(1) << 32, 4, data));
    EXPECT_EQ(std::string(data, 4), "high");

    // A block whose byte offset would overflow must not wrap round to block 1.
    WriteAt(path, 512, "one!");
    EXPECT_FALSE(ReadBytesFromBlock512DevFile(file.fd, (UInt64(1) << 55) + 1, 4, data));
    EXPECT_FALSE(ReadBytesFromBlock512DevFile(file.fd, ~UInt64(0), 4, data));
}

TEST(BlockReads, DescriptorsThatCannotBeReadAtAnOffsetFail) {
    char data[8] = {};
    EXPECT_FALSE(ReadBytesFromBlock512DevFile(-1, 0, 8, data)); // a failed open
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(write(fds[1], "12345678", 8), 8);
    EXPECT_FALSE(ReadBytesFromBlock512DevFile(fds[0], 0, 8, data)); // no positioned reads
    close(fds[0]);
    close(fds[1]);
}

TEST(BlockReads, TheChosenDriveIsReadThroughItsDescriptor) {
    TempFolder dir;
    const std::string path = dir / "disk";
    WriteAt(path, 512, "drive");
    OpenFile file(path);
    const int saved = gUnixReadFileRef;
    char data[5] = {};
    gUnixReadFileRef = file.fd;
    EXPECT_TRUE(ReadBytesFromBlock512(1, 5, data));
    gUnixReadFileRef = -1;
    EXPECT_FALSE(ReadBytesFromBlock512(1, 5, data));
    gUnixReadFileRef = saved;
    EXPECT_EQ(std::string(data, 5), "drive");
}
