#include "drives/Discovery.h"

#include "MainWindowFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace drivetest;

std::string PascalText(const Str255 text) {
    return std::string(reinterpret_cast<const char*>(text + 1), text[0]);
}

bool RecordIsZero(const SavedDriveInfo& record) {
    static const SavedDriveInfo zero{};
    return std::memcmp(&record, &zero, sizeof record) == 0;
}

// The number of the handle the registry hands out next: handles are numbered
// upwards, so those issued in between are the ones between two probes.
io_object_t NextHandle() {
    io_iterator_t probe = 0;
    IORegistryCreateIterator(kIOMasterPortDefault, kIOServicePlane, kIORegistryIterateRecursively,
                             &probe);
    IOObjectRelease(probe);
    return probe + 1;
}

class DiscoveryTest : public MainWindowTest {};

constexpr const char* kIconPath =
    "System/Library/Extensions/IOStorageFamily.kext/Contents/Resources/Internal.icns";

TEST_F(DiscoveryTest, DriversAreListedInPlaneOrderAndHeldForTheRun) {
    const std::string alpha = Characteristics("Alpha Drive   ") + Protocol("ATA") +
                              MediaIcon("com.apple.iokit.IOStorageFamily", "Internal.icns");
    const std::string alphaMedia = String("BSD Name", "disk1") + Integer("Size", "160041885696");
    const std::string beta = Characteristics("Beta");
    LoadRegistry(
        Entry("AppleKeyLargo") +
        Entry("IOPCIDevice", Data("AAPL,bus-id", "AAAAAQ=="),
              Entry("IOATADevice", Integer("unit number", "0", 32),
                    DriverEntry(alpha, Entry("IOMedia", alphaMedia))) +
                  // A class derived from the driver's.
                  Entry("IOATADevice", "",
                        Entry("com_Varnholme_ATA6BlockStorageDriverPlus", beta, "",
                              {kATA6DriverClassName, "IOBlockStorageDriver", "IOService"}))) +
        Entry("AppleUSBEHCI", "", DriverEntry(Characteristics("Gamma"))));
    AddIcon(kIconPath);

    const io_object_t first = NextHandle();
    EXPECT_EQ(KERN_SUCCESS, FindAllATADrives());
    const io_object_t last = NextHandle();

    const SavedDriveInfo& a = gSavedDriveInfoArray[0];
    EXPECT_EQ("Alpha Drive", PascalText(a.productName));
    EXPECT_EQ("ATA Bus 1: Master", PascalText(a.interfaceInfo));
    EXPECT_STREQ("/dev/rdisk1", a.rawDevicePath);
    EXPECT_EQ(160041885696, a.sizeInBytes);
    EXPECT_STREQ("149.0 GB", a.sizeText);
    EXPECT_STREQ(kIconPath, a.mediaIconPath);
    EXPECT_EQ("Beta", PascalText(gSavedDriveInfoArray[1].productName));
    EXPECT_EQ("Gamma", PascalText(gSavedDriveInfoArray[2].productName));
    for (int i = 3; i < kMaxSavedDrives; ++i)
        EXPECT_TRUE(RecordIsZero(gSavedDriveInfoArray[i])) << "record " << i;

    // Record i is popup item i + 3, with the drive's icon where its file exists.
    const toolbox::ControlInfo popup = Shown('popb', 1);
    EXPECT_EQ(5, popup.maximum);
    ASSERT_EQ(5u, popup.menu.items.size());
    EXPECT_TRUE(popup.menu.items[1].separator);
    EXPECT_EQ("Alpha Drive", popup.menu.items[2].text);
    EXPECT_TRUE(popup.menu.items[2].iconPath.has_value());
    EXPECT_EQ("Beta", popup.menu.items[3].text);
    EXPECT_FALSE(popup.menu.items[3].iconPath.has_value());
    EXPECT_EQ("Gamma", popup.menu.items[4].text);

    // Of what the walk handed out, only the drives' entries are still held.
    std::vector<io_object_t> held;
    for (io_object_t handle = first; handle < last; ++handle) {
        io_name_t className;
        if (IOObjectGetClass(handle, className) == KERN_SUCCESS)
            held.push_back(handle);
    }
    const std::vector<io_object_t> services = {gSavedDriveInfoArray[0].driverService,
                                               gSavedDriveInfoArray[1].driverService,
                                               gSavedDriveInfoArray[2].driverService};
    EXPECT_EQ(services, held);
    for (io_object_t service : services)
        EXPECT_TRUE(IOObjectConformsTo(service, kATA6DriverClassName));
}

TEST_F(DiscoveryTest, DriveWithoutPropertiesIsStillListed) {
    LoadRegistry(DriverEntry());
    EXPECT_EQ(KERN_SUCCESS, FindAllATADrives());

    const SavedDriveInfo& drive = gSavedDriveInfoArray[0];
    EXPECT_EQ(0, drive.productName[0]);
    EXPECT_EQ(0, drive.interfaceInfo[0]);
    EXPECT_STREQ("", drive.rawDevicePath);
    EXPECT_EQ(0, drive.sizeInBytes);
    EXPECT_STREQ("", drive.sizeText);
    EXPECT_STREQ("System/Library/Extensions/.kext/Contents/Resources/", drive.mediaIconPath);
    EXPECT_NE(0u, drive.driverService);
    EXPECT_EQ(3u, Shown('popb', 1).menu.items.size());
}

TEST_F(DiscoveryTest, NoDriverObjectListsNothing) {
    const SInt16 maximumBefore = Shown('popb', 1).maximum;
    std::memset(gSavedDriveInfoArray, 0xAB, sizeof gSavedDriveInfoArray);
    LoadRegistry(Entry("IOPCIDevice", "", Entry("IOATADevice", Characteristics("Not a drive"))) +
                 Entry("IOBlockStorageDriver"));

    EXPECT_EQ(KERN_SUCCESS, FindAllATADrives());
    for (const SavedDriveInfo& record : gSavedDriveInfoArray)
        EXPECT_TRUE(RecordIsZero(record));
    EXPECT_EQ(2u, Shown('popb', 1).menu.items.size());
    EXPECT_EQ(maximumBefore, Shown('popb', 1).maximum);
}

TEST_F(DiscoveryTest, RegistryThatCannotBeWalkedListsNothing) {
    std::memset(gSavedDriveInfoArray, 0xAB, sizeof gSavedDriveInfoArray);
    iokit::SetRegistryRoot(nullptr);

    EXPECT_NE(KERN_SUCCESS, FindAllATADrives());
    for (const SavedDriveInfo& record : gSavedDriveInfoArray)
        EXPECT_TRUE(RecordIsZero(record));
    EXPECT_EQ(2u, Shown('popb', 1).menu.items.size());
}

TEST_F(DiscoveryTest, OnlyTheFirstTwentyDrivesAreListed) {
    std::string drives;
    for (int i = 0; i < 23; ++i)
        drives += DriverEntry(Characteristics("Drive " + std::to_string(i)));
    LoadRegistry(drives);

    EXPECT_EQ(KERN_SUCCESS, FindAllATADrives());
    const toolbox::ControlInfo popup = Shown('popb', 1);
    ASSERT_EQ(22u, popup.menu.items.size());
    EXPECT_EQ(22, popup.maximum);
    for (int i = 0; i < kMaxSavedDrives; ++i) {
        const std::string name = "Drive " + std::to_string(i);
        EXPECT_EQ(name, PascalText(gSavedDriveInfoArray[i].productName));
        EXPECT_EQ(name, popup.menu.items[i + 2].text) << "item " << i + 3;
    }
}

} // namespace
