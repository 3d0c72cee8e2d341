#include "tests/e2e/TestHost.h"

#include "host/DriveIcons.h"
#include "host/RegistryTree.h"

#include <fstream>
#include <stdexcept>
#include <utility>

namespace e2e {

namespace {

using namespace host::tree;

// The media icon every test drive shows, where the program looks for it.
constexpr const char* kIconPath =
    "System/Library/Extensions/IOStorageFamily.kext/Contents/Resources/Internal.icns";

// One drive on its own ATA channel: the device nub with its characteristics,
// the maker's driver, and the whole drive's media below it.
Value DriveEntry(int bus, const std::string& bsdName, const TestDrive& drive) {
    Properties driver{{"CFBundleIdentifier", Str("com.Varnholme.driver.ATA6")}};
    if (drive.refusal)
        driver.emplace_back("ReplacePartitionMapRefusal", Int32(*drive.refusal));
    Value media =
        Entry("IOMedia", "IOMedia", {"IOStorage", "IOService"},
              {{"BSD Name", Str(bsdName)},
               {"Size", Int64(drive.sizeInBytes)},
               {"Whole", Bool(true)},
               {"IOMediaIcon", Dict({{"CFBundleIdentifier", Str("com.apple.iokit.IOStorageFamily")},
                                     {"IOBundleResourceFile", Str("Internal.icns")}})}});
    Value driverEntry =
        Entry("com_Varnholme_ATA6BlockStorageDriver", "com_Varnholme_ATA6BlockStorageDriver",
              {"IOBlockStorageDriver", "IOStorage", "IOService"}, driver, {media});
    Value nub = Entry(
        "ATADeviceNub", "ATADeviceNub", {"IOATADevice", "IOService"},
        {{"unit number", Int32(0)},
         {"Protocol Characteristics", Dict({{"Physical Interconnect", Str("ATA")},
                                            {"Physical Interconnect Location", Str("Internal")}})},
         {"Device Characteristics", Dict({{"Product Name", Str(drive.productName + "  ")}})}},
        {driverEntry});
    return Entry("IOPCIDevice", "IOPCIDevice", {"IOService"},
                 {{"AAPL,bus-id", Bytes({0, 0, 0, static_cast<UInt8>(bus)})}}, {nub});
}

void WritePlist(Value plist, const fs::path& path) {
    std::string error;
    if (!WriteTree(plist, path, &error))
        throw std::runtime_error(error);
}

} // namespace

MapImageBuilder WorkedExampleMap() {
    return MapImageBuilder(0x0FFFFFFF)
        .addHFS("Archive", 64, 267'999'936)
        .addFree(268'000'000, 435'455);
}

TestDrive WorkedExampleDrive() {
    TestDrive drive;
    drive.map = WorkedExampleMap().build();
    return drive;
}

TestHost::TestHost() : path_(base_.path() / "host"), scratch_(base_.path() / "scratch") {
    fs::create_directories(path_);
    fs::create_directories(scratch_);
}

void TestHost::SetSystemVersion(std::optional<std::string> productVersion) {
    systemVersion_ = std::move(productVersion);
}

std::string TestHost::AddDrive(TestDrive drive) {
    std::string bsdName = "disk" + std::to_string(drives_.size() + 1);
    drives_.emplace_back(bsdName, std::move(drive));
    return bsdName;
}

fs::path TestHost::ImagePath(const std::string& bsdName) const {
    return path_ / "disks" / (bsdName + ".img");
}

void TestHost::Write() {
    if (systemVersion_) {
        fs::create_directories(path_ / "System/Library/CoreServices");
        WritePlist(
            Dict({{"ProductName", Str("Mac OS X")}, {"ProductVersion", Str(*systemVersion_)}}),
            path_ / "System/Library/CoreServices/SystemVersion.plist");
    }
    fs::create_directories(path_ / "dev");
    fs::create_directories(path_ / "disks");
    std::vector<Value> channels;
    int bus = 0;
    for (const auto& [bsdName, drive] : drives_) {
        channels.push_back(DriveEntry(++bus, bsdName, drive));
        if (!drive.map)
            continue;
        UInt64 bytes = drive.deviceBytes.value_or(static_cast<UInt64>(drive.sizeInBytes));
        if (bytes < kMapImageSize) {
            // A device too short to hold the map area: its first bytes only.
            std::ofstream(ImagePath(bsdName), std::ios::binary)
                .write(reinterpret_cast<const char*>(drive.map->bytes.data()),
                       static_cast<std::streamsize>(bytes));
        } else {
            CreateDiskImage(ImagePath(bsdName).string(), bytes, *drive.map);
        }
        fs::create_symlink("../disks/" + bsdName + ".img", path_ / "dev" / bsdName);
        fs::create_symlink("../disks/" + bsdName + ".img", path_ / "dev" / ("r" + bsdName));
    }
    WritePlist(Entry("IORegistryEntry", "IORegistryEntry", {}, {}, channels),
               path_ / "registry.plist");

    fs::path icon = path_ / kIconPath;
    fs::create_directories(icon.parent_path());
    std::string error;
    if (!host::WriteDriveIconFile(host::DriveIconKind::Internal, icon.string(), &error))
        throw std::runtime_error(error);
}

} // namespace e2e
