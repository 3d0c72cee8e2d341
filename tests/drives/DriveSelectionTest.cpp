#include "drives/DriveSelection.h"

#include "MainWindowFixture.h"
#include "drives/Discovery.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

using namespace drivetest;

constexpr const char* kTooSmall = "Please select a drive greater than 128 Gigabytes in size.";
constexpr const char* kBig = "2000398934016"; // a 2 TB drive
constexpr const char* kIconPath =
    "System/Library/Extensions/IOStorageFamily.kext/Contents/Resources/Internal.icns";

bool IsOpen(int descriptor) {
    return fcntl(descriptor, F_GETFD) != -1;
}

class DriveSelectionTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        TurnOffControl('push', 1); // as start-up leaves it
    }

    // Lists one drive per (BSD name, size); a name without a device node
    // stands for a drive whose open fails.
    void ListDrives(const std::vector<std::pair<std::string, std::string>>& drives) {
        std::string entries;
        for (const auto& [name, size] : drives) {
            entries += DriverEntry(Characteristics(name) + Protocol("Fibre Channel Interface") +
                                   MediaIcon("com.apple.iokit.IOStorageFamily", "Internal.icns") +
                                   String("BSD Name", name) + Integer("Size", size));
        }
        LoadRegistry(entries);
        ASSERT_EQ(KERN_SUCCESS, FindAllATADrives());
    }

    void Choose(SInt16 item) {
        SetControlValue(Popup(), item);
        DoPopupMenuSelection(Popup());
    }
};

TEST_F(DriveSelectionTest, SizeGateComparesTheWholeBlockCount) {
    const struct {
        const char* size;
        bool accepted;
    } cases[] = {
        {"137438952960", true},  // 0x0FFFFFFF blocks
        {"137438952959", false}, // one byte less
        {"0", false},            // no size in the registry
        {"2199023255552", true}, // 2 TiB: 2^32 blocks, whose low 32 bits are 0
        {"2199023256064", true}, // 2^32 + 1 blocks
        {"-512", false},
    };
    std::vector<std::pair<std::string, std::string>> drives;
    for (size_t i = 0; i < std::size(cases); ++i) {
        drives.emplace_back("disk" + std::to_string(i + 1), cases[i].size);
        AddDevice("rdisk" + std::to_string(i + 1));
    }
    ListDrives(drives);

    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].size);
        if (gUnixReadFileRef > 0)
            close(gUnixReadFileRef);
        gUnixReadFileRef = 0;
        gActiveDrive = nullptr;
        alerts_.clear();

        const SInt16 item = static_cast<SInt16>(i + 3);
        Choose(item);
        if (cases[i].accepted) {
            EXPECT_EQ(&gSavedDriveInfoArray[i], gActiveDrive);
            EXPECT_GT(gUnixReadFileRef, 0);
            EXPECT_TRUE(alerts_.empty());
            EXPECT_EQ(item, GetControlValue(Popup()));
        } else {
            EXPECT_EQ(nullptr, gActiveDrive);
            EXPECT_EQ(0, gUnixReadFileRef);
            ASSERT_EQ(1u, alerts_.size());
            EXPECT_EQ(kTooSmall, alerts_[0].message);
            EXPECT_EQ(0, alerts_[0].type);
            EXPECT_EQ(1, GetControlValue(Popup()));
        }
    }
}

TEST_F(DriveSelectionTest, ChosenDriveIsShownAndARefusedChoiceKeepsIt) {
    AddDevice("rdisk1");
    AddDevice("rdisk2");
    AddIcon(kIconPath);
    ListDrives({{"disk1", kBig}, {"disk2", "1000"}});

    Choose(3);
    const int descriptor = gUnixReadFileRef;
    EXPECT_EQ(&gSavedDriveInfoArray[0], gActiveDrive);
    EXPECT_EQ("Fibre Channel Interface", Shown('stxt', 1).text);
    EXPECT_EQ(gSavedDriveInfoArray[0].sizeText, Shown('stxt', 2).text);
    EXPECT_NE("", Shown('stxt', 2).text);
    ASSERT_TRUE(Shown('icon', 3).iconPath.has_value());
    EXPECT_NE(std::string::npos, Shown('icon', 3).iconPath->find(kIconPath));
    EXPECT_TRUE(Shown('push', 1).active);

    Choose(4);
    EXPECT_EQ(1u, alerts_.size());
    EXPECT_EQ(1, GetControlValue(Popup()));
    EXPECT_EQ(&gSavedDriveInfoArray[0], gActiveDrive);
    EXPECT_EQ(descriptor, gUnixReadFileRef);
    EXPECT_TRUE(IsOpen(descriptor));
    EXPECT_EQ("Fibre Channel Interface", Shown('stxt', 1).text);
    EXPECT_TRUE(Shown('icon', 3).iconPath.has_value());
    EXPECT_TRUE(Shown('push', 1).active);
}

TEST_F(DriveSelectionTest, ItemsThatAreNoDriveDoNothing) {
    AddDevice("rdisk1");
    ListDrives({{"disk1", kBig}, {"disk2", "1000"}});

    for (SInt16 item : {1, 2}) {
        Choose(item);
        EXPECT_EQ(item, GetControlValue(Popup()));
    }
    EXPECT_TRUE(alerts_.empty());
    EXPECT_EQ(nullptr, gActiveDrive);
    EXPECT_EQ(0, gUnixReadFileRef);
    EXPECT_FALSE(Shown('push', 1).active);

    EXPECT_EQ(&gSavedDriveInfoArray[0], DriveRecordForPopupItem(3));
    EXPECT_EQ(&gSavedDriveInfoArray[1], DriveRecordForPopupItem(4));
    for (SInt32 item : {-1, 0, 1, 2, 5, 22, 23, 1000})
        EXPECT_EQ(nullptr, DriveRecordForPopupItem(item)) << "item " << item;
}

TEST_F(DriveSelectionTest, EachChoiceClosesTheDescriptorItReplaces) {
    AddDevice("rdisk1");
    AddDevice("rdisk2");
    ListDrives({{"disk1", kBig}, {"disk2", kBig}, {"disk3", kBig}}); // disk3 has no device

    Choose(3);
    const int first = gUnixReadFileRef;
    ASSERT_GT(first, 0);
    Choose(3); // the same drive again is opened again
    const int again = gUnixReadFileRef;
    ASSERT_GT(again, 0);
    EXPECT_NE(first, again);
    EXPECT_FALSE(IsOpen(first));

    Choose(4);
    const int second = gUnixReadFileRef;
    EXPECT_GT(second, 0);
    EXPECT_FALSE(IsOpen(again));
    EXPECT_EQ("Fibre Channel Interface", Shown('stxt', 1).text);

    // A failed open: the new drive is active, nothing is open, and the window
    // still shows the previous drive.
    const std::string sizeShown = Shown('stxt', 2).text;
    Choose(5);
    EXPECT_EQ(&gSavedDriveInfoArray[2], gActiveDrive);
    EXPECT_EQ(-1, gUnixReadFileRef);
    EXPECT_FALSE(IsOpen(second));
    EXPECT_EQ(sizeShown, Shown('stxt', 2).text);
    EXPECT_TRUE(alerts_.empty());
}

} // namespace
