#include "host/DemoHost.h"
#include "host/DriverStandIn.h"
#include "host/HostStartUp.h"
#include "host/MapImageCheck.h"
#include "partition/MapImageBuilder.h"
#include "platform/corefoundation/CFHelpers.h"
#include "platform/iokit/IOKitLib.h"
#include "platform/iokit/Registry.h"
#include "platform/posix/DevicePaths.h"

#include "RunCommand.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// One driver entry of the plane and what the program will read around it.
struct Drive {
    io_object_t service = 0;
    std::string bsdName;
    SInt64 size = 0;
    std::string interconnect;
    std::string iconPath;
};

CFTypeRef Search(io_object_t entry, CFStringRef key, std::initializer_list<IOOptionBits> options) {
    for (IOOptionBits option : options) {
        if (CFTypeRef value = IORegistryEntrySearchCFProperty(entry, kIOServicePlane, key,
                                                              kCFAllocatorDefault, option))
            return value;
    }
    return nullptr;
}

std::string StringIn(CFTypeRef dict, CFStringRef key) {
    if (!dict || CFGetTypeID(dict) != CFDictionaryGetTypeID())
        return {};
    return cf::ToUTF8(
        static_cast<CFStringRef>(CFDictionaryGetValue(static_cast<CFDictionaryRef>(dict), key)));
}

// Restores the environment, the working folder and the plane after a test.
class DemoHostTest : public ::testing::Test {
  protected:
    void SetUp() override { cwd_ = fs::current_path(); }
    void TearDown() override {
        fs::current_path(cwd_);
        iokit::SetRegistryRoot(nullptr);
        iokit::RemoveAllPropertyHandlers();
        posix::SetHostRoot("");
    }

    std::vector<Drive> ListedDrives() {
        std::vector<Drive> drives;
        io_iterator_t iterator = 0;
        if (IORegistryCreateIterator(kIOMasterPortDefault, kIOServicePlane,
                                     kIORegistryIterateRecursively, &iterator) != KERN_SUCCESS)
            return drives;
        while (io_object_t object = IOIteratorNext(iterator)) {
            if (!IOObjectConformsTo(object, host::kDriverClassName)) {
                IOObjectRelease(object);
                continue;
            }
            Drive drive;
            drive.service = object;
            cf::Owned<CFTypeRef> name(Search(object, CFSTR("BSD Name"), {2, 1}));
            drive.bsdName = cf::ToUTF8(static_cast<CFStringRef>(name.get()));
            cf::Owned<CFTypeRef> size(Search(object, CFSTR("Size"), {2, 1}));
            if (size)
                CFNumberGetValue(static_cast<CFNumberRef>(size.get()), kCFNumberSInt64Type,
                                 &drive.size);
            cf::Owned<CFTypeRef> protocol(
                Search(object, CFSTR("Protocol Characteristics"), {3, 1}));
            drive.interconnect = StringIn(protocol.get(), CFSTR("Physical Interconnect"));
            cf::Owned<CFTypeRef> icon(Search(object, CFSTR("IOMediaIcon"), {3, 1}));
            std::string bundle = StringIn(icon.get(), CFSTR("CFBundleIdentifier"));
            if (bundle.rfind("com.apple.iokit.", 0) == 0)
                bundle = bundle.substr(16);
            drive.iconPath = "System/Library/Extensions/" + bundle + ".kext/Contents/Resources/" +
                             StringIn(icon.get(), CFSTR("IOBundleResourceFile"));
            drives.push_back(drive);
        }
        IOObjectRelease(iterator);
        return drives;
    }

    ScopedEnvironment env_;
    fs::path cwd_;
};

TEST_F(DemoHostTest, EveryDiskImageHoldsAMapThatPartedReadsAndTheDriverAccepts) {
    TempFolder folder;
    std::string error;
    ASSERT_TRUE(host::MakeDemoHost(folder / "demo", &error)) << error;
    int images = 0;
    for (const auto& item : fs::directory_iterator(folder.path() / "demo/disks")) {
        ++images;
        std::string path = item.path().string();
        MapImage map = ReadMapImage(path);
        EXPECT_EQ("", host::MapImageProblem(map.bytes, fs::file_size(item.path()) / 512)) << path;

        int status = 0;
        std::string output =
            RunCommand(std::string(PARTED_PROGRAM) + " -s " + path + " unit s print", &status);
        EXPECT_EQ(0, status) << path << "\n" << output;
        EXPECT_NE(std::string::npos, output.find("Partition Table: mac")) << output;
        EXPECT_EQ(std::string::npos, output.find("Warning")) << output;
        EXPECT_EQ(std::string::npos, output.find("Error")) << output;
    }
    EXPECT_EQ(7, images);
}

TEST_F(DemoHostTest, TheDemoPlaneListsTheMakersDrivesWithTheirDevicesSizesAndIcons) {
    TempFolder folder;
    std::string error;
    ASSERT_TRUE(host::MakeDemoHost(folder / "demo", &error)) << error;
    env_.Set("CAPEXT_HOST", folder / "demo");
    ASSERT_TRUE(host::EnterSimulatedHost());
    EXPECT_EQ(fs::canonical(folder.path() / "demo"), fs::canonical(fs::current_path()));

    auto drives = ListedDrives();
    ASSERT_EQ(7u, drives.size()) << "the built-in drive of another driver class is not listed";
    std::set<std::string> interconnects;
    for (const Drive& drive : drives) {
        SCOPED_TRACE(drive.bsdName);
        interconnects.insert(drive.interconnect);
        for (std::string node : {"dev/" + drive.bsdName, "dev/r" + drive.bsdName}) {
            ASSERT_TRUE(fs::exists(node)) << node;
            EXPECT_EQ(UInt64(drive.size), fs::file_size(node)) << "the whole drive's Size";
        }
        // Relative, as the program opens it from the host folder.
        EXPECT_TRUE(fs::is_regular_file(drive.iconPath)) << drive.iconPath;
    }
    EXPECT_EQ((std::set<std::string>{"ATA", "FireWire", "SCSI Parallel Interface", "USB"}),
              interconnects);

    // The worked example: ATA bus 1, master, 160,041,885,696 bytes.
    const Drive& first = drives[0];
    EXPECT_EQ("disk1", first.bsdName);
    EXPECT_EQ(160'041'885'696, first.size);
    cf::Owned<CFTypeRef> bus(Search(first.service, CFSTR("AAPL,bus-id"), {3}));
    ASSERT_TRUE(bus && CFGetTypeID(bus.get()) == CFDataGetTypeID());
    auto busData = static_cast<CFDataRef>(bus.get());
    EXPECT_EQ((std::vector<UInt8>{0, 0, 0, 1}),
              std::vector<UInt8>(CFDataGetBytePtr(busData),
                                 CFDataGetBytePtr(busData) + CFDataGetLength(busData)));
    cf::Owned<CFTypeRef> unit(Search(first.service, CFSTR("unit number"), {3}));
    SInt32 unitNumber = -1;
    ASSERT_TRUE(unit);
    CFNumberGetValue(static_cast<CFNumberRef>(unit.get()), kCFNumberSInt32Type, &unitNumber);
    EXPECT_EQ(0, unitNumber);
    for (const Drive& drive : drives)
        IOObjectRelease(drive.service);
}

TEST_F(DemoHostTest, TheDriverOnTheDemoHostExtendsTheWorkedExample) {
    TempFolder folder;
    std::string error;
    ASSERT_TRUE(host::MakeDemoHost(folder / "demo", &error)) << error;
    env_.Set("CAPEXT_HOST", folder / "demo");
    ASSERT_TRUE(host::EnterSimulatedHost());
    auto drives = ListedDrives();
    ASSERT_FALSE(drives.empty());
    MapImage extended =
        MapImageBuilder(312'581'808)
            .addHFS("Archive", 64, 267'999'936)
            .add({"Apple_HFS_Untitled_2", "Apple_HFS", 268'000'000, 44'581'791, 0x40000033})
            .add({"Extra", "Apple_Free", 312'581'791, 16, 0})
            .build();
    cf::Owned<CFDataRef> data(CFDataCreate(kCFAllocatorDefault, extended.bytes.data(), 0x8000));
    EXPECT_EQ(kIOReturnSuccess, IORegistryEntrySetCFProperty(
                                    drives[0].service, CFSTR("ReplacePartitionMap"), data.get()));
    EXPECT_EQ(extended.bytes, ReadMapImage("dev/rdisk1").bytes);
    EXPECT_EQ(1, std::distance(fs::directory_iterator("var/backups"), fs::directory_iterator()));
    for (const Drive& drive : drives)
        IOObjectRelease(drive.service);
}

TEST_F(DemoHostTest, WithoutCAPEXT_HOSTTheDemoHostIsMadeOnFirstUseAndKept) {
    TempFolder data;
    env_.Set("CAPEXT_HOST", std::nullopt);
    env_.Set("XDG_DATA_HOME", data.path().string());
    const fs::path demo = data.path() / "CapacityExtender/demo-host";
    EXPECT_EQ(demo.string(), host::HostFolderPath());
    ASSERT_TRUE(host::EnterSimulatedHost());
    EXPECT_EQ(fs::canonical(demo), fs::canonical(fs::current_path()));
    EXPECT_EQ(fs::canonical(demo).string(), fs::canonical(posix::HostRoot()).string());
    EXPECT_EQ(7u, ListedDrives().size());

    data.Write("CapacityExtender/demo-host/var/backups/mark", "kept");
    ASSERT_TRUE(host::EnterSimulatedHost());
    EXPECT_TRUE(fs::exists(demo / "var/backups/mark")) << "an existing demo host is used as it is";
}

TEST_F(DemoHostTest, ABadRegistryFileLeavesTheRegistryEmptyAfterOneLine) {
    TempFolder folder;
    std::string registry =
        folder.Write("registry.plist", "<?xml version=\"1.0\"?>\n<plist>\n<dict>\n</plist>\n");
    env_.Set("CAPEXT_HOST", folder.path().string());
    testing::internal::CaptureStderr();
    EXPECT_TRUE(host::EnterSimulatedHost());
    std::string message = testing::internal::GetCapturedStderr();
    EXPECT_EQ(1, std::count(message.begin(), message.end(), '\n')) << message;
    EXPECT_NE(std::string::npos, message.find("registry.plist: line ")) << message;
    io_iterator_t iterator = 0;
    EXPECT_NE(KERN_SUCCESS, IORegistryCreateIterator(kIOMasterPortDefault, kIOServicePlane,
                                                     kIORegistryIterateRecursively, &iterator));
}

TEST_F(DemoHostTest, AHostFolderThatIsNotThereIsNotMade) {
    TempFolder folder;
    env_.Set("CAPEXT_HOST", folder / "elsewhere");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(host::EnterSimulatedHost());
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("elsewhere"));
    EXPECT_FALSE(fs::exists(folder.path() / "elsewhere"));
}

TEST_F(DemoHostTest, MakeDemoHostWillNotWriteIntoAFolderInUse) {
    TempFolder folder;
    folder.Write("busy/file", "x");
    std::string error;
    EXPECT_FALSE(host::MakeDemoHost(folder / "busy", &error));
    EXPECT_NE(std::string::npos, error.find("busy")) << error;
    EXPECT_EQ(
        1, std::distance(fs::directory_iterator(folder.path() / "busy"), fs::directory_iterator()));
}

} // namespace
