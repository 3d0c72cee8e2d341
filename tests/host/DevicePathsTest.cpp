#include "platform/posix/DevicePaths.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

class DevicePathsTest : public ::testing::Test {
  protected:
    void TearDown() override { posix::SetHostRoot(""); }
};

TEST_F(DevicePathsTest, DevicePathsResolveInsideTheHostAndNothingElseChanges) {
    posix::SetHostRoot("/hosts/mac/");
    const struct {
        const char* path;
        const char* resolved;
    } cases[] = {
        {"/dev/rdisk2", "/hosts/mac/dev/rdisk2"},
        {"//dev//./disk2", "/hosts/mac/dev/disk2"},
        {"/dev", "/hosts/mac/dev"},
        {"/dev/../etc/passwd", ""}, // would leave the host's dev/
        {"/dev/x/../../y", ""},
        {"/devices/disk2", "/devices/disk2"},
        {"/etc/passwd", "/etc/passwd"},
        {"System/Library/Extensions/a.kext", "System/Library/Extensions/a.kext"},
        {"dev/rdisk2", "dev/rdisk2"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.resolved, posix::ResolveHostPath(c.path)) << c.path;
}

TEST_F(DevicePathsTest, WithoutAHostNoDevicePathCanBeOpened) {
    posix::SetHostRoot("");
    EXPECT_EQ("", posix::ResolveHostPath("/dev/null"));
    EXPECT_EQ(-1, posix::open("/dev/null", O_RDONLY, 0));
}

TEST_F(DevicePathsTest, OpenFollowsTheHostsOwnSymlinks) {
    TempFolder host;
    host.Write("disks/disk2.img", "MAP");
    std::filesystem::create_directories(host.path() / "dev");
    std::filesystem::create_symlink("../disks/disk2.img", host.path() / "dev/rdisk2");
    posix::SetHostRoot(host.path().string());
    int fd = posix::open("/dev/rdisk2", O_RDONLY, 0);
    ASSERT_GE(fd, 0);
    char text[4] = {};
    EXPECT_EQ(3, read(fd, text, 3));
    EXPECT_STREQ("MAP", text);
    close(fd);
}

TEST(PlainFileNameTest, OnlyASingleComponentPasses) {
    EXPECT_TRUE(posix::IsPlainFileName("disk2"));
    EXPECT_TRUE(posix::IsPlainFileName("..disk"));
    for (std::string_view bad :
         {std::string_view(""), std::string_view("."), std::string_view(".."),
          std::string_view("a/b"), std::string_view("/disk2"), std::string_view("disk\0x", 6)})
        EXPECT_FALSE(posix::IsPlainFileName(bad)) << bad;
}

} // namespace
