#include "drives/RegistryReaders.h"

#include "RegistryFixture.h"
#include "platform/corefoundation/CFHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace drivetest;

// The properties of the entries around one drive:
//   root
//     controller (the entry above the driver object)
//       driver object
//         media of the whole drive
//           media of a partition
struct Around {
    std::string controller = "";
    std::string driver = "";
    std::string media = "";
    std::string partition = "";
};

std::string PascalText(const Str255 text) {
    return std::string(reinterpret_cast<const char*>(text + 1), text[0]);
}

class ReaderTest : public RegistryTest {
  protected:
    io_service_t LoadDrive(const Around& around) {
        LoadRegistry(Entry("IOATADevice", around.controller,
                           DriverEntry(around.driver, Entry("IOMedia", around.media,
                                                            Entry("IOMedia", around.partition)))));
        return FirstDriver();
    }

    std::string ProductName(const Around& around) {
        char text[kRegistryTextSize] = "stale";
        IOKitUtilsGetDeviceProductNameCStr(LoadDrive(around), text);
        return text;
    }
    std::string InterfaceInfo(const Around& around) {
        Str255 text = {};
        IOKitUtilsGetDeviceInterfaceInfo(LoadDrive(around), text);
        return PascalText(text);
    }
    std::string RawDevicePath(const Around& around) {
        char path[kRegistryPathSize] = "stale";
        IOKitUtilsGetBDSName(LoadDrive(around), path);
        return path;
    }
    std::string MediaIconPath(const Around& around) {
        char path[kRegistryPathSize] = "stale";
        IOKitGetMediaIconFullPath(LoadDrive(around), path);
        return path;
    }
};

TEST_F(ReaderTest, ProductNameEndsAtTheFirstDoubleSpace) {
    const struct {
        const char* name;
        const char* expected;
    } cases[] = {
        {"Maxtor 6Y160P0   ", "Maxtor 6Y160P0"},
        {"WDC WD2500JB  Rev 1  x", "WDC WD2500JB"},
        {"  Padded in front", ""},
        {"One Two Three", "One Two Three"},
        {"Caf\xC3\xA9 Drive", ""}, // not plain ASCII
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, ProductName({.driver = Characteristics(c.name)}));
    }
}

TEST_F(ReaderTest, ProductNameIsLookedForAboveTheDriverFirstThenBelow) {
    const struct {
        const char* what;
        Around around;
        const char* expected;
    } cases[] = {
        {"on the driver", {.driver = Characteristics("Own")}, "Own"},
        {"above", {.controller = Characteristics("Above")}, "Above"},
        {"below only", {.partition = Characteristics("Below")}, "Below"},
        {"above and below",
         {.controller = Characteristics("Above"), .media = Characteristics("Below")},
         "Above"},
        {"nowhere", {}, ""},
        {"characteristics not a dictionary", {.driver = String("Device Characteristics", "x")}, ""},
        {"name not a string",
         {.driver = Dict("Device Characteristics", Integer("Product Name", "7"))},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, ProductName(c.around));
    }
}

TEST_F(ReaderTest, PascalProductNameHoldsUpTo255Characters) {
    const std::string longest(255, 'N');
    Str255 name;
    IOKitUtilsGetDeviceProductNamePStr(LoadDrive({.driver = Characteristics(longest)}), name);
    EXPECT_EQ(longest, PascalText(name));

    // A registry text that does not fit the 256-byte buffer gives no name,
    // even where a double space would have cut it short.
    IOKitUtilsGetDeviceProductNamePStr(LoadDrive({.driver = Characteristics("N  " + longest)}),
                                       name);
    EXPECT_EQ("", PascalText(name));
}

TEST_F(ReaderTest, RawDevicePathNamesTheWholeDrive) {
    const struct {
        const char* what;
        Around around;
        const char* expected;
    } cases[] = {
        {"on the driver", {.driver = String("BSD Name", "disk3")}, "/dev/rdisk3"},
        {"whole drive before its partitions",
         {.media = String("BSD Name", "disk2"), .partition = String("BSD Name", "disk2s1")},
         "/dev/rdisk2"},
        {"the driver before the media",
         {.driver = String("BSD Name", "disk3"), .media = String("BSD Name", "disk2")},
         "/dev/rdisk3"},
        {"above the driver is not looked at", {.controller = String("BSD Name", "disk9")}, ""},
        {"missing", {}, ""},
        {"not a string", {.driver = Integer("BSD Name", "2")}, ""},
        {"not ASCII", {.driver = String("BSD Name", "disk\xC3\xA9")}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, RawDevicePath(c.around));
    }
}

TEST_F(ReaderTest, RawDevicePathStaysInsideTheHostsDeviceFolder) {
    for (const char* name : {"../../etc/passwd", "disk2/../../x", ".", "..", ""}) {
        SCOPED_TRACE(name);
        EXPECT_EQ("", RawDevicePath({.driver = String("BSD Name", name)}));
    }
    // Dots inside a name are harmless.
    EXPECT_EQ("/dev/rdisk..2", RawDevicePath({.driver = String("BSD Name", "disk..2")}));
}

TEST_F(ReaderTest, RawDevicePathWithANulInTheNameIsEmpty) {
    io_service_t driver = LoadDrive({});
    // XML cannot carry a NUL character; put the name on the entry directly.
    const UInt8 bytes[] = {'d', 'i', 's', 'k', '2', 0, '/', 'x'};
    cf::Owned<CFStringRef> name(CFStringCreateWithBytes(kCFAllocatorDefault, bytes, sizeof bytes,
                                                        kCFStringEncodingASCII, false));
    ASSERT_TRUE(name);
    ASSERT_EQ(static_cast<CFIndex>(sizeof bytes), CFStringGetLength(name.get()));
    iokit::DepthFirst(iokit::RegistryRoot())[2]->SetProperty(CFSTR("BSD Name"), name.get());

    char path[kRegistryPathSize] = "stale";
    IOKitUtilsGetBDSName(driver, path);
    EXPECT_STREQ("", path);
}

TEST_F(ReaderTest, RawDevicePathUsesTheRoomOfItsBuffer) {
    // "/dev/r", the name and the terminator share 1024 bytes.
    const std::string fits(1017, 'd');
    EXPECT_EQ("/dev/r" + fits, RawDevicePath({.driver = String("BSD Name", fits)}));
    EXPECT_EQ("", RawDevicePath({.driver = String("BSD Name", fits + "d")}));
}

TEST_F(ReaderTest, SizeIsTheWholeDrivesOrLeftAsItWas) {
    const struct {
        const char* what;
        Around around;
        SInt64 expected;
    } cases[] = {
        {"64-bit on the driver", {.driver = Integer("Size", "0x2543D72000")}, 0x2543D72000},
        {"32-bit on the driver", {.driver = Integer("Size", "1000000", 32)}, 1000000},
        {"beyond 2 TiB", {.driver = Integer("Size", "0x20000000200")}, 0x20000000200},
        {"whole drive before its partitions",
         {.media = Integer("Size", "5000"), .partition = Integer("Size", "4000")},
         5000},
        {"above the driver is not looked at", {.controller = Integer("Size", "5000")}, 7},
        {"missing", {}, 7},
        {"not a number", {.driver = String("Size", "5000")}, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SInt64 size = 7;
        IOKitUtilsGetDeviceSizeInBytes(LoadDrive(c.around), &size);
        EXPECT_EQ(c.expected, size);
    }
}

TEST_F(ReaderTest, MediaIconPathNamesTheExtensionsResourceFile) {
    const struct {
        const char* what;
        Around around;
        const char* expected;
    } cases[] = {
        {"a system family",
         {.driver = MediaIcon("com.apple.iokit.IOStorageFamily", "Internal.icns")},
         "System/Library/Extensions/IOStorageFamily.kext/Contents/Resources/Internal.icns"},
        {"the family prefix anywhere",
         {.driver = MediaIcon("x.com.apple.iokit.IOATAFamily", "ata.icns")},
         "System/Library/Extensions/IOATAFamily.kext/Contents/Resources/ata.icns"},
        {"another maker's extension",
         {.driver = MediaIcon("com.Varnholme.ATA6", "drive.icns")},
         "System/Library/Extensions/com.Varnholme.ATA6.kext/Contents/Resources/drive.icns"},
        {"no icon", {}, "System/Library/Extensions/.kext/Contents/Resources/"},
        {"above before below",
         {.controller = MediaIcon("Above", "a.icns"), .media = MediaIcon("Below", "b.icns")},
         "System/Library/Extensions/Above.kext/Contents/Resources/a.icns"},
        {"below only",
         {.partition = MediaIcon("Below", "b.icns")},
         "System/Library/Extensions/Below.kext/Contents/Resources/b.icns"},
        {"names that are not strings",
         {.driver = Dict("IOMediaIcon", Integer("CFBundleIdentifier", "1") +
                                            Integer("IOBundleResourceFile", "2"))},
         "System/Library/Extensions/.kext/Contents/Resources/"},
        {"icon not a dictionary",
         {.driver = String("IOMediaIcon", "x")},
         "System/Library/Extensions/.kext/Contents/Resources/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, MediaIconPath(c.around));
    }
}

TEST_F(ReaderTest, MediaIconPathStaysInsideTheExtensionsFolder) {
    const struct {
        const char* bundle;
        const char* file;
        const char* expected;
    } cases[] = {
        {"com.apple.iokit.IOStorageFamily", "../../../../../etc/passwd",
         "System/Library/Extensions/IOStorageFamily.kext/Contents/Resources/"},
        {"com.apple.iokit...", "x.icns",
         "System/Library/Extensions/.kext/Contents/Resources/x.icns"},
        {"../../x", "..", "System/Library/Extensions/.kext/Contents/Resources/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bundle);
        EXPECT_EQ(c.expected, MediaIconPath({.driver = MediaIcon(c.bundle, c.file)}));
    }
}

// Base64 of the bytes 00 00 00 01, 00 00 00 00, 00 00 01 00, and of the texts
// "1" and "01".
constexpr const char* kBusOne = "AAAAAQ==";
constexpr const char* kBusZeros = "AAAAAA==";
constexpr const char* kBus100 = "AAABAA==";
constexpr const char* kTextOne = "MQ==";
constexpr const char* kTextZeroOne = "MDE=";

TEST_F(ReaderTest, ATADescriptionNamesBusAndPosition) {
    const std::string unit0 = Integer("unit number", "0", 32);
    const struct {
        const char* what;
        Around around;
        const char* expected;
    } cases[] = {
        {"unit 0",
         {.controller = Data("AAPL,bus-id", kBusOne), .driver = Protocol("ATA") + unit0},
         "ATA Bus 1: Master"},
        {"unit 1",
         {.controller = Data("AAPL,bus-id", kBusOne) + Integer("unit number", "1", 32),
          .driver = Protocol("ATA")},
         "ATA Bus 1: Slave"},
        {"unit 10",
         {.controller = Data("AAPL,bus-id", kBusOne) + Integer("unit number", "10", 32),
          .driver = Protocol("ATA")},
         "ATA Bus 1: Slave"},
        {"ATAPI",
         {.controller = Data("AAPL,bus-id", kBusOne), .driver = Protocol("ATAPI") + unit0},
         "ATAPI Bus 1: Master"},
        {"only leading zeros go",
         {.controller = Data("AAPL,bus-id", kBus100), .driver = Protocol("ATA") + unit0},
         "ATA Bus 100: Master"},
        {"bus of zeros",
         {.controller = Data("AAPL,bus-id", kBusZeros), .driver = Protocol("ATA") + unit0},
         "ATA Bus 0: Master"},
        {"bus of no bytes",
         {.controller = Data("AAPL,bus-id", ""), .driver = Protocol("ATA") + unit0},
         "ATA Bus 0: Master"},
        {"bus id not data",
         {.controller = String("AAPL,bus-id", "1"), .driver = Protocol("ATA") + unit0},
         "ATA Bus ???: Master"},
        {"device location",
         {.controller = Data("io-device-location", kTextOne), .driver = Protocol("ATA") + unit0},
         "ATA Bus 1: Master"},
        {"device location keeps its zeros",
         {.controller = Data("io-device-location", kTextZeroOne),
          .driver = Protocol("ATA") + unit0},
         "ATA Bus 01: Master"},
        {"empty device location",
         {.controller = Data("io-device-location", ""), .driver = Protocol("ATA") + unit0},
         "ATA Bus 0: Master"},
        {"device location not data",
         {.controller = Integer("io-device-location", "1"), .driver = Protocol("ATA") + unit0},
         "ATA Bus ???: Master"},
        {"bus id wins over device location",
         {.controller = Data("AAPL,bus-id", kBusOne) + Data("io-device-location", kTextZeroOne),
          .driver = Protocol("ATA") + unit0},
         "ATA Bus 1: Master"},
        {"no bus at all", {.driver = Protocol("ATA") + unit0}, "????"},
        {"no unit number",
         {.controller = Data("AAPL,bus-id", kBusOne), .driver = Protocol("ATA")},
         ""},
        {"unit number not a number",
         {.controller = Data("AAPL,bus-id", kBusOne) + String("unit number", "0"),
          .driver = Protocol("ATA")},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, InterfaceInfo(c.around));
    }
}

TEST_F(ReaderTest, SCSIDescriptionNamesTheTarget) {
    const struct {
        const char* what;
        Around around;
        const char* expected;
    } cases[] = {
        {"target identifier",
         {.driver = Protocol("SCSI", Integer("SCSI Target Identifier", "3", 32))},
         "SCSI:  ID = 3"},
        {"SCSI before ATA",
         {.controller = Integer("unit number", "0", 32),
          .driver = Protocol("ATA over SCSI", Integer("SCSI Target Identifier", "3", 32))},
         "ATA over SCSI:  ID = 3"},
        {"target searched when the identifier is missing",
         {.controller = Integer("SCSI Target", "5", 32), .driver = Protocol("SCSI")},
         "SCSI:  ID = 5"},
        {"identifier of the wrong type is not replaced",
         {.controller = Integer("SCSI Target", "5", 32),
          .driver = Protocol("SCSI", String("SCSI Target Identifier", "3"))},
         ""},
        {"no target", {.driver = Protocol("SCSI")}, ""},
        {"characteristics found only below the driver",
         {.media = Protocol("SCSI", Integer("SCSI Target Identifier", "3", 32))},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, InterfaceInfo(c.around));
    }
}

TEST_F(ReaderTest, OtherConnectionsAndMissingCharacteristics) {
    const struct {
        const char* what;
        Around around;
        const char* expected;
    } cases[] = {
        {"FireWire GUID in 16 hexadecimal digits",
         {.controller = Integer("GUID", "0x30E0F4E0123456"), .driver = Protocol("FireWire")},
         "FireWire:  GUID = 0030E0F4E0123456"},
        {"FireWire without a GUID", {.driver = Protocol("FireWire")}, ""},
        {"USB locationID in decimal",
         {.controller = Integer("locationID", "0x1A100000", 32), .driver = Protocol("USB")},
         "USB:  locationID = 437256192"},
        {"USB without a locationID", {.driver = Protocol("USB")}, ""},
        {"Fibre Channel",
         {.driver = Protocol("Fibre Channel Interface")},
         "Fibre Channel Interface"},
        {"another bus", {.driver = Protocol("Bluetooth")}, ""},
        {"characteristics below the driver",
         {.media = Protocol("Fibre Channel Interface")},
         "Fibre Channel Interface"},
        {"no characteristics", {}, ""},
        {"characteristics not a dictionary",
         {.driver = String("Protocol Characteristics", "USB")},
         ""},
        {"interconnect not a string",
         {.driver = Dict("Protocol Characteristics", Integer("Physical Interconnect", "1"))},
         ""},
        {"interconnect not ASCII", {.driver = Protocol("Fibre Channel Interface \xC3\xA9")}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, InterfaceInfo(c.around));
    }
}

TEST_F(ReaderTest, LongDescriptionIsCutTo255Characters) {
    const std::string usb = std::string(245, 'U') + "USB";
    const std::string full = usb + ":  locationID = 437256192";
    EXPECT_EQ(full.substr(0, 255),
              InterfaceInfo({.controller = Integer("locationID", "0x1A100000", 32),
                             .driver = Protocol(usb)}));

    const std::string ata = std::string(250, 'A') + "ATA";
    EXPECT_EQ(
        (ata + " Bus 1: Master").substr(0, 255),
        InterfaceInfo({.controller = Data("AAPL,bus-id", kBusOne) + Integer("unit number", "0", 32),
                       .driver = Protocol(ata)}));
}

} // namespace
