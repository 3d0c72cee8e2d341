// A small simulated host for the driver tests: one drive of the maker's
// driver whose whole-disk media is "disk9", a sparse disk image behind
// dev/disk9, and the driver stand-in installed.
#pragma once

#include "host/DriverStandIn.h"
#include "partition/MapImageBuilder.h"
#include "platform/corefoundation/CFHelpers.h"
#include "platform/iokit/Registry.h"
#include "platform/posix/DevicePaths.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

class HostFixture : public ::testing::Test {
  protected:
    // The drive of the worked example: 160,041,885,696 bytes.
    static constexpr UInt64 kDriveBytes = 160'041'885'696ull;
    static constexpr UInt32 kDriveBlocks = UInt32(kDriveBytes / 512);

    void SetUp() override {
        posix::SetHostRoot(host_.path().string());
        std::filesystem::create_directories(host_.path() / "disks");
        std::filesystem::create_directories(host_.path() / "dev");
        CreateDiskImage(host_ / "disks/disk9.img", kDriveBytes, OldMap());
        std::filesystem::create_symlink("../disks/disk9.img", host_.path() / "dev/disk9");

        auto root = std::make_shared<iokit::Entry>("IORegistryEntry", "Root");
        auto nub = std::make_shared<iokit::Entry>("ATADeviceNub", "ATADeviceNub",
                                                  std::vector<std::string>{"IOService"});
        driver_ = std::make_shared<iokit::Entry>(
            host::kDriverClassName, host::kDriverClassName,
            std::vector<std::string>{"IOBlockStorageDriver", "IOService"});
        media_ = std::make_shared<iokit::Entry>("IOMedia", "Media",
                                                std::vector<std::string>{"IOService"});
        SetBSDName("disk9");
        root->AddChild(nub);
        nub->AddChild(driver_);
        driver_->AddChild(media_);
        iokit::SetRegistryRoot(root);
        host::InstallDriverStandIn();
    }

    void TearDown() override {
        iokit::SetRegistryRoot(nullptr);
        iokit::RemoveAllPropertyHandlers();
        posix::SetHostRoot("");
    }

    void SetBSDName(std::string_view name) {
        cf::Owned<CFStringRef> value(CFStringCreateWithBytes(
            kCFAllocatorDefault, reinterpret_cast<const UInt8*>(name.data()), CFIndex(name.size()),
            kCFStringEncodingUTF8, false));
        ASSERT_TRUE(value);
        media_->SetProperty(CFSTR("BSD Name"), value.get());
    }

    // The map as a drive formatted under the 128 GiB limit holds it.
    static MapImage OldMap() {
        return MapImageBuilder(0x0FFFFFFF)
            .addHFS("Archive", 64, 267'999'936)
            .addFree(268'000'000, 435'455)
            .build();
    }

    // The same map extended to the end of the drive.
    static MapImage ExtendedMap() {
        return MapImageBuilder(kDriveBlocks)
            .addHFS("Archive", 64, 267'999'936)
            .add({"Apple_HFS_Untitled_2", "Apple_HFS", 268'000'000, 44'581'791, 0x40000033})
            .add({"Extra", "Apple_Free", 312'581'791, 16, 0})
            .build();
    }

    static std::vector<UInt8> Bytes(const MapImage& map) {
        return std::vector<UInt8>(map.bytes.begin(), map.bytes.end());
    }

    // What the application does: set "ReplacePartitionMap" on the driver's
    // entry, found by walking the plane.
    IOReturn HandOver(CFTypeRef value) {
        io_iterator_t iterator = 0;
        EXPECT_EQ(KERN_SUCCESS, IORegistryCreateIterator(kIOMasterPortDefault, kIOServicePlane,
                                                         kIORegistryIterateRecursively, &iterator));
        IOReturn status = kIOReturnNotFound;
        while (io_object_t object = IOIteratorNext(iterator)) {
            if (IOObjectConformsTo(object, host::kDriverClassName))
                status = IORegistryEntrySetCFProperty(object, CFSTR("ReplacePartitionMap"), value);
            IOObjectRelease(object);
        }
        IOObjectRelease(iterator);
        return status;
    }

    IOReturn HandOver(const std::vector<UInt8>& image) {
        cf::Owned<CFDataRef> data(
            CFDataCreate(kCFAllocatorDefault, image.data(), CFIndex(image.size())));
        return HandOver(data.get());
    }

    std::vector<UInt8> DeviceMapArea() const {
        return Bytes(ReadMapImage(host_ / "disks/disk9.img"));
    }

    std::vector<std::filesystem::path> Backups() const {
        std::vector<std::filesystem::path> found;
        std::error_code ec;
        for (const auto& item :
             std::filesystem::directory_iterator(host_.path() / "var/backups", ec))
            found.push_back(item.path());
        std::sort(found.begin(), found.end());
        return found;
    }

    static std::vector<UInt8> FileBytes(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<UInt8>(std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>());
    }

    TempFolder host_;
    std::shared_ptr<iokit::Entry> driver_;
    std::shared_ptr<iokit::Entry> media_;
};
