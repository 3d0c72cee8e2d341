#include "host/DemoHost.h"

#include "host/DriveIcons.h"
#include "host/RegistryTree.h"
#include "partition/MapImageBuilder.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <initializer_list>
#include <unistd.h>
#include <utility>
#include <vector>

namespace host {

namespace fs = std::filesystem;

namespace {

// The plane is written as nested RegistryTree expressions.
using namespace tree;

// The class chain every service ends in.
std::vector<std::string> Supers(std::initializer_list<const char*> nearest) {
    std::vector<std::string> chain(nearest.begin(), nearest.end());
    for (const char* base : {"IOService", "IORegistryEntry", "OSObject"})
        chain.push_back(base);
    return chain;
}

constexpr const char* kDriverClass = "com_Varnholme_ATA6BlockStorageDriver";
constexpr const char* kBridgeDriverClass = "com_Varnholme_ATA6BridgeStorageDriver";
constexpr const char* kDriverBundle = "com.Varnholme.driver.ATA6";

struct IconFile {
    const char* bundle;
    const char* file;
    DriveIconKind kind;
};
const IconFile kInternalIcon{"com.apple.iokit.IOStorageFamily", "Internal.icns",
                             DriveIconKind::Internal};
const IconFile kFireWireIcon{"com.apple.iokit.IOSCSIArchitectureModelFamily", "FireWireHD.icns",
                             DriveIconKind::FireWire};
const IconFile kUSBIcon{"com.apple.iokit.IOSCSIArchitectureModelFamily", "USBHD.icns",
                        DriveIconKind::USB};
// The maker ships its own icon, in its own kext.
const IconFile kSCSIIcon{kDriverBundle, "SCSIHD.icns", DriveIconKind::SCSI};

Value MediaIcon(const IconFile& icon) {
    return Dict(
        {{"CFBundleIdentifier", Str(icon.bundle)}, {"IOBundleResourceFile", Str(icon.file)}});
}

// Where a media icon lies in the host, by the icon path rule of the program.
std::string IconPath(const IconFile& icon) {
    std::string bundle = icon.bundle;
    const std::string prefix = "com.apple.iokit.";
    std::string extension = bundle.rfind(prefix, 0) == 0 ? bundle.substr(prefix.size()) : bundle;
    return "System/Library/Extensions/" + extension + ".kext/Contents/Resources/" + icon.file;
}

struct DemoDrive {
    std::string bsdName; // "disk1"
    UInt64 bytes;
    MapImage map;
    std::string product; // as the drive reports it, padded with spaces
};

UInt32 Blocks(UInt64 bytes) {
    return UInt32(bytes / kBlockSize);
}

// The whole drive's media, its partition scheme and a media object for each
// partition that is not free space, as the storage family publishes them.
Value WholeMedia(const DemoDrive& drive, const IconFile* icon = nullptr) {
    std::vector<Value> partitions;
    UInt32 count = drive.map.slot(1).pmMapBlkCnt();
    for (UInt32 k = 1; k <= count; ++k) {
        const Partition& p = drive.map.slot(k);
        if (PartitionIsFree(p))
            continue;
        std::string name(p.pmPartName());
        partitions.push_back(Entry("IOMedia", name, Supers({"IOStorage"}),
                                   {{"BSD Name", Str(drive.bsdName + "s" + std::to_string(k))},
                                    {"Size", Int64(SInt64(p.pmPartBlkCnt()) * kBlockSize)},
                                    {"Base", Int64(SInt64(p.pmPyPartStart()) * kBlockSize)},
                                    {"Preferred Block Size", Int64(kBlockSize)},
                                    {"Partition ID", Int32(SInt32(k))},
                                    {"Content", Str(std::string(p.pmParType()))},
                                    {"Whole", Bool(false)},
                                    {"Leaf", Bool(true)},
                                    {"Writable", Bool(true)}}));
    }
    Properties properties{{"BSD Name", Str(drive.bsdName)},
                          {"BSD Unit", Int32(std::atoi(drive.bsdName.c_str() + 4))},
                          {"Size", Int64(SInt64(drive.bytes))},
                          {"Preferred Block Size", Int64(kBlockSize)},
                          {"Content", Str("Apple_partition_scheme")},
                          {"Whole", Bool(true)},
                          {"Leaf", Bool(false)},
                          {"Writable", Bool(true)},
                          {"Removable", Bool(false)},
                          {"Ejectable", Bool(false)}};
    if (icon)
        properties.emplace_back("IOMediaIcon", MediaIcon(*icon));
    std::string mediaName = drive.product.substr(0, drive.product.find("  ")) + " Media";
    return Entry("IOMedia", mediaName, Supers({"IOStorage"}), properties,
                 {Entry("IOApplePartitionScheme", "IOApplePartitionScheme",
                        Supers({"IOPartitionScheme", "IOStorage"}),
                        {{"Content Mask", Str("Apple_partition_scheme")}}, partitions)});
}

Value Driver(const char* className, const DemoDrive& drive, const IconFile* mediaIcon = nullptr) {
    std::vector<std::string> supers =
        className == std::string(kDriverClass)
            ? Supers({"IOBlockStorageDriver", "IOStorage"})
            : Supers({kDriverClass, "IOBlockStorageDriver", "IOStorage"});
    return Entry(className, className, supers,
                 {{"IOClass", Str(className)},
                  {"CFBundleIdentifier", Str(kDriverBundle)},
                  {"IOProviderClass", Str("IOService")}},
                 {WholeMedia(drive, mediaIcon)});
}

Value DeviceCharacteristics(const std::string& vendor, const std::string& product,
                            const std::string& revision) {
    return Dict({{"Vendor Name", Str(vendor)},
                 {"Product Name", Str(product)},
                 {"Product Revision Level", Str(revision)}});
}

Value Protocol(const std::string& interconnect, const std::string& location, Properties more = {}) {
    Properties properties{{"Physical Interconnect", Str(interconnect)},
                          {"Physical Interconnect Location", Str(location)}};
    properties.insert(properties.end(), more.begin(), more.end());
    return Dict(properties);
}

// A drive on one of the maker's ATA-6 channels.
Value ATADrive(int unit, const DemoDrive& drive, const char* driverClass = kDriverClass,
               const char* vendor = "TARNWICK") {
    return Entry("ATADeviceNub", "ATADeviceNub", Supers({"IOATADevice"}),
                 {{"unit number", Int32(unit)},
                  {"device type", Str("ATA")},
                  {"Protocol Characteristics", Protocol("ATA", "Internal")},
                  {"Device Characteristics", DeviceCharacteristics(vendor, drive.product, "1.02")},
                  {"IOMediaIcon", MediaIcon(kInternalIcon)}},
                 {Driver(driverClass, drive)});
}

Value ATAChannel(UInt8 bus, const std::string& controllerClass, const std::vector<Value>& units) {
    return Entry("IOPCIDevice", "pci-ata@" + std::to_string(bus), Supers({}),
                 {{"AAPL,bus-id", Bytes({0, 0, 0, bus})},
                  {"name", Bytes({'p', 'c', 'i', '-', 'a', 't', 'a', 0})}},
                 {Entry(controllerClass, controllerClass, Supers({"IOATAController"}), {}, units)});
}

std::vector<DemoDrive> DemoDrives() {
    auto drive = [](std::string name, UInt64 bytes, MapImageBuilder map, std::string product) {
        return DemoDrive{std::move(name), bytes, map.build(), std::move(product)};
    };
    // Maps made under the old 128 GiB limit stop at block 0x0FFFFFFF.
    constexpr UInt32 kOldLimit = 0x0FFFFFFF;
    std::vector<DemoDrive> drives;

    // Ready to extend: the free space at the end of the map becomes a volume.
    drives.push_back(drive(
        "disk1", 160'041'885'696ull,
        MapImageBuilder(kOldLimit).addHFS("Archive", 64, 267'999'936).addFree(268'000'000, 435'455),
        "TARNWICK TW1600A        "));
    // Extended before: a second volume to 17 blocks before the end.
    const UInt64 updatedBytes = 250'059'350'016ull;
    const UInt32 updatedBlocks = Blocks(updatedBytes);
    drives.push_back(
        drive("disk2", updatedBytes,
              MapImageBuilder(updatedBlocks)
                  .addHFS("Projects", 64, kOldLimit - 64)
                  .addHFS("Apple_HFS_Untitled_2", kOldLimit, updatedBlocks - kOldLimit - 17)
                  .addFree(updatedBlocks - 17, 16),
              "TARNWICK TW2500B        "));
    // Under 128 GiB: nothing to gain.
    const UInt64 smallBytes = 80'026'361'856ull;
    const UInt32 smallBlocks = Blocks(smallBytes);
    drives.push_back(drive("disk3", smallBytes,
                           MapImageBuilder(smallBlocks)
                               .addHFS("Scratch", 64, smallBlocks - 64 - 10)
                               .addFree(smallBlocks - 10, 10),
                           "OSLUND 80GXP  "));
    // The map ends in a volume, not in free space.
    drives.push_back(drive("disk4", 200'049'647'616ull,
                           MapImageBuilder(kOldLimit).addHFS("Media", 64, kOldLimit - 64),
                           "TARNWICK TW2000A        "));
    // SCSI: two volumes before the free space, so the new one is the third.
    drives.push_back(drive("disk5", 146'815'737'856ull,
                           MapImageBuilder(kOldLimit)
                               .addHFS("Server", 64, 99'999'936)
                               .addHFS("Logs", 100'000'000, 100'000'000)
                               .addFree(200'000'000, kOldLimit - 200'000'000),
                           "ST146  "));
    // FireWire: the map ends in two neighbouring free entries.
    drives.push_back(drive("disk6", 300'090'728'448ull,
                           MapImageBuilder(kOldLimit)
                               .addHFS("Backup", 64, 249'999'936)
                               .addFree(250'000'000, 10'000'000)
                               .addFree(260'000'000, kOldLimit - 260'000'000),
                           "Halvard FW300  "));
    // USB.
    drives.push_back(drive("disk7", 200'049'647'616ull,
                           MapImageBuilder(kOldLimit)
                               .addHFS("Photos", 64, kOldLimit - 64 - 64)
                               .addFree(kOldLimit - 64, 64),
                           "Pocket 200  "));
    return drives;
}

Value DemoRegistry(const std::vector<DemoDrive>& d) {
    // The built-in drive of the machine's own ATA driver: not the maker's
    // class, so the program leaves it out.
    DemoDrive builtIn{"disk0", 40'020'664'320ull,
                      MapImageBuilder(Blocks(40'020'664'320ull))
                          .addHFS("Macintosh HD", 64, Blocks(40'020'664'320ull) - 64)
                          .build(),
                      "OSLUND 40GX  "};
    Value internalBus = Entry(
        "AppleMacRiscPCI", "pci", Supers({"IOPCIBridge"}), {},
        {Entry("IOPCIDevice", "ata-6", Supers({}), {{"AAPL,bus-id", Bytes({0, 0, 0, 0})}},
               {Entry("AppleKeyLargoATA", "AppleKeyLargoATA", Supers({"IOATAController"}), {},
                      {Entry("ATADeviceNub", "ATADeviceNub", Supers({"IOATADevice"}),
                             {{"unit number", Int32(0)},
                              {"Protocol Characteristics", Protocol("ATA", "Internal")},
                              {"Device Characteristics",
                               DeviceCharacteristics("OSLUND", builtIn.product, "2.10")},
                              {"IOMediaIcon", MediaIcon(kInternalIcon)}},
                             {Entry("IOATABlockStorageDriver", "IOATABlockStorageDriver",
                                    Supers({"IOBlockStorageDriver", "IOStorage"}), {},
                                    {WholeMedia(builtIn)})})})}),
         Entry(
             "IOPCIDevice", "firewire", Supers({}), {},
             {Entry(
                 "AppleFWOHCI", "AppleFWOHCI", Supers({"IOFireWireController"}), {},
                 {Entry(
                     "IOFireWireDevice", "node@30650001a2b3c4", Supers({"IOFireWireNub"}),
                     {{"GUID", Int64(0x0030650001A2B3C4ll)},
                      {"FireWire Product Name", Str("Halvard FW300")}},
                     {Entry(
                         "IOFireWireSBP2Target", "IOFireWireSBP2Target", Supers({}), {},
                         {Entry(
                             "IOFireWireSerialBusProtocolTransport",
                             "IOFireWireSerialBusProtocolTransport",
                             Supers({"IOSCSIProtocolServices"}),
                             {{"Protocol Characteristics", Protocol("FireWire", "External")}},
                             {Entry("IOSCSIPeripheralDeviceType00", "IOSCSIPeripheralDeviceType00",
                                    Supers({"IOSCSIBlockCommandsDevice"}),
                                    {{"Device Characteristics",
                                      DeviceCharacteristics("Halvard", d[5].product, "0100")}},
                                    {Driver(kBridgeDriverClass, d[5], &kFireWireIcon)})})})})})}),
         Entry(
             "IOPCIDevice", "usb", Supers({}), {},
             {Entry(
                 "AppleUSBEHCI", "AppleUSBEHCI", Supers({"IOUSBController"}), {},
                 {Entry(
                     "IOUSBDevice", "Pocket 200", Supers({"IOUSBNub"}),
                     {{"locationID", Int32(0x1A100000)}, {"USB Product Name", Str("Pocket 200")}},
                     {Entry("IOUSBInterface", "IOUSBInterface", Supers({"IOUSBNub"}), {},
                            {Entry("IOUSBMassStorageClass", "IOUSBMassStorageClass",
                                   Supers({"IOSCSIProtocolServices"}),
                                   {{"Protocol Characteristics", Protocol("USB", "External")}},
                                   {Entry("IOSCSIPeripheralDeviceType00",
                                          "IOSCSIPeripheralDeviceType00",
                                          Supers({"IOSCSIBlockCommandsDevice"}),
                                          {{"Device Characteristics",
                                            DeviceCharacteristics("Halvard", d[6].product, "1.00")},
                                           {"IOMediaIcon", MediaIcon(kUSBIcon)}},
                                          {Driver(kBridgeDriverClass, d[6])})})})})})})});

    Value cardBus = Entry(
        "AppleMacRiscPCI", "pci", Supers({"IOPCIBridge"}), {},
        {ATAChannel(1, "com_Varnholme_ATA6Controller", {ATADrive(0, d[0]), ATADrive(1, d[1])}),
         ATAChannel(2, "com_Varnholme_ATA6Controller",
                    {ATADrive(0, d[2], kDriverClass, "OSLUND"), ATADrive(1, d[3])}),
         Entry("IOPCIDevice", "pci-scsi", Supers({}), {},
               {Entry("com_Kestral_SCSIController", "com_Kestral_SCSIController",
                      Supers({"IOSCSIParallelInterfaceController"}), {},
                      {Entry("IOSCSIParallelInterfaceDevice", "IOSCSIParallelInterfaceDevice",
                             Supers({"IOSCSIProtocolServices"}),
                             {{"Protocol Characteristics",
                               Protocol("SCSI Parallel Interface", "Internal",
                                        {{"SCSI Target Identifier", Int64(3)},
                                         {"SCSI Logical Unit Number", Int64(0)}})}},
                             {Entry("IOSCSIPeripheralDeviceType00", "IOSCSIPeripheralDeviceType00",
                                    Supers({"IOSCSIBlockCommandsDevice"}),
                                    {{"Device Characteristics",
                                      DeviceCharacteristics("KESTRAL", d[4].product, "0004")},
                                     {"IOMediaIcon", MediaIcon(kSCSIIcon)}},
                                    {Driver(kBridgeDriverClass, d[4])})})})})});

    return Entry(
        "IORegistryEntry", "Root", {"OSObject"}, {},
        {Entry("IOPlatformExpertDevice", "PowerMac3,6", Supers({}),
               {{"model", Bytes({'P', 'o', 'w', 'e', 'r', 'M', 'a', 'c', '3', ',', '6', 0})}},
               {Entry("AppleMacRISC2PE", "AppleMacRISC2PE", Supers({"IOPlatformExpert"}), {},
                      {cardBus, internalBus})})});
}

Value SystemVersion() {
    return Dict({{"ProductName", Str("Mac OS X")},
                 {"ProductVersion", Str("10.3.9")},
                 {"ProductBuildVersion", Str("7W98")}});
}

// Everything of the demo host, written into dir.
bool Populate(const fs::path& dir, std::string* error) {
    std::vector<DemoDrive> drives = DemoDrives();
    for (const char* sub : {"System/Library/CoreServices", "dev", "disks", "var/backups"})
        fs::create_directories(dir / sub);
    if (!WriteTree(SystemVersion(), dir / "System/Library/CoreServices/SystemVersion.plist",
                   error) ||
        !WriteTree(DemoRegistry(drives), dir / "registry.plist", error))
        return false;
    for (const DemoDrive& drive : drives) {
        std::string image = "disks/" + drive.bsdName + ".img";
        CreateDiskImage((dir / image).string(), drive.bytes, drive.map);
        fs::create_symlink("../" + image, dir / "dev" / drive.bsdName);
        fs::create_symlink("../" + image, dir / "dev" / ("r" + drive.bsdName));
    }
    for (const IconFile* icon : {&kInternalIcon, &kFireWireIcon, &kUSBIcon, &kSCSIIcon}) {
        fs::path path = dir / IconPath(*icon);
        fs::create_directories(path.parent_path());
        if (!WriteDriveIconFile(icon->kind, path.string(), error))
            return false;
    }
    return true;
}

} // namespace

bool MakeDemoHost(const std::string& dirText, std::string* error) {
    std::string problem;
    fs::path dir = fs::absolute(fs::path(dirText)).lexically_normal();
    if (!dir.has_filename())
        dir = dir.parent_path();
    // Built beside its place and moved there whole, so that an interrupted
    // run never leaves a half-made host behind.
    fs::path partial = dir;
    partial += ".partial-" + std::to_string(::getpid());
    try {
        if (fs::exists(dir) && !(fs::is_directory(dir) && fs::is_empty(dir))) {
            problem = dir.string() + " already exists and is not an empty folder";
        } else {
            fs::remove_all(partial);
            fs::create_directories(partial);
            if (Populate(partial, &problem))
                fs::rename(partial, dir);
        }
    } catch (const std::exception& e) {
        problem = e.what();
    }
    std::error_code ignored;
    fs::remove_all(partial, ignored);
    if (!problem.empty() && error)
        *error = "cannot make the demo host in " + dir.string() + ": " + problem;
    return problem.empty();
}

} // namespace host
