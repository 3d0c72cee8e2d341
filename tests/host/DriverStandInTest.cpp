#include "HostFixture.h"
#include "RunCommand.h"

#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class DriverStandInTest : public HostFixture {};

TEST_F(DriverStandInTest, TheWorkedExampleIsWrittenAfterTheOldMapIsKeptAndRestoreMapPutsItBack) {
    const auto oldMap = DeviceMapArea();
    ASSERT_EQ(kIOReturnSuccess, HandOver(Bytes(ExtendedMap())));
    EXPECT_EQ(Bytes(ExtendedMap()), DeviceMapArea());

    auto backups = Backups();
    ASSERT_EQ(1u, backups.size());
    EXPECT_EQ(0u, backups[0].filename().string().rfind("disk9-", 0)) << backups[0];
    EXPECT_EQ(".apm", backups[0].extension());
    EXPECT_EQ(oldMap, FileBytes(backups[0]));

    int status = 0;
    std::string parted = RunCommand(std::string(PARTED_PROGRAM) + " -s " +
                                        (host_ / "disks/disk9.img") + " unit s print",
                                    &status);
    EXPECT_EQ(0, status) << parted;
    EXPECT_NE(std::string::npos, parted.find("268000000s  312581790s  44581791s")) << parted;

    std::string restored = RunCommand(std::string(RESTORE_MAP_PROGRAM) + " " + backups[0].string() +
                                          " " + (host_ / "dev/disk9"),
                                      &status);
    EXPECT_EQ(0, status) << restored;
    EXPECT_EQ(oldMap, DeviceMapArea());
    // What restore-map replaced is kept as well.
    EXPECT_EQ(2u, Backups().size());
}

TEST_F(DriverStandInTest, EveryReplacementKeepsItsOwnBackupEvenWithinOneSecond) {
    const auto oldMap = Bytes(OldMap()), extended = Bytes(ExtendedMap());
    for (const auto* image : {&extended, &oldMap, &extended})
        ASSERT_EQ(kIOReturnSuccess, HandOver(*image));
    std::vector<std::vector<UInt8>> kept;
    for (const auto& backup : Backups())
        kept.push_back(FileBytes(backup));
    ASSERT_EQ(3u, kept.size());
    EXPECT_EQ(2, std::count(kept.begin(), kept.end(), oldMap));
    EXPECT_EQ(1, std::count(kept.begin(), kept.end(), extended));
}

struct BadImage {
    const char* what;
    std::function<void(MapImage&)> spoil;
};

TEST_F(DriverStandInTest, ABadImageIsRefusedAndNothingIsWritten) {
    const BadImage cases[] = {
        {"block 0 without 'ER'", [](MapImage& m) { m.descriptor().setSbSig(0); }},
        {"block 1 without 'PM'", [](MapImage& m) { m.slot(1).setPmSig(0); }},
        {"a later entry without 'PM'", [](MapImage& m) { m.slot(3).setPmSig('pm'); }},
        {"entries that disagree on the count", [](MapImage& m) { m.slot(2).setPmMapBlkCnt(3); }},
        {"a count of 0",
         [](MapImage& m) {
             for (UInt32 k = 1; k <= 4; ++k)
                 m.slot(k).setPmMapBlkCnt(0);
         }},
        {"a count of 64",
         [](MapImage& m) {
             for (UInt32 k = 1; k <= 63; ++k) {
                 m.slot(k).setPmSig('PM');
                 m.slot(k).setPmMapBlkCnt(64);
             }
         }},
        {"more entries than the map partition's blocks",
         [](MapImage& m) { m.slot(1).setPmPartBlkCnt(3); }},
        {"a partition past the end of the device",
         [](MapImage& m) { m.slot(4).setPmPartBlkCnt(18); }},
        {"a partition that wraps at 2^32",
         [](MapImage& m) {
             m.slot(4).setPmPyPartStart(0xFFFFFFF0);
             m.slot(4).setPmPartBlkCnt(0x20);
         }},
        {"overlapping partitions", [](MapImage& m) { m.slot(3).setPmPyPartStart(267'999'999); }},
        {"the map inside a volume", [](MapImage& m) { m.slot(2).setPmPyPartStart(63); }},
        {"the map's own partition away from the entries, a volume over them",
         [](MapImage& m) {
             m.slot(1).setPmPyPartStart(267'999'937);
             m.slot(2).setPmPyPartStart(2);
             m.slot(2).setPmPartBlkCnt(267'999'935);
         }},
        {"no map entry", [](MapImage& m) { m.slot(1).setPmParType("Apple_Free"); }},
        {"a longer type is not the map's",
         [](MapImage& m) { m.slot(1).setPmParType("Apple_partition_map2"); }},
        {"two map entries", [](MapImage& m) { m.slot(4).setPmParType("Apple_partition_map"); }},
    };
    const auto before = DeviceMapArea();
    for (const auto& c : cases) {
        MapImage image = ExtendedMap();
        c.spoil(image);
        EXPECT_NE(kIOReturnSuccess, HandOver(Bytes(image))) << c.what;
        EXPECT_EQ(before, DeviceMapArea()) << c.what;
        EXPECT_TRUE(Backups().empty()) << c.what;
    }

    std::vector<UInt8> image = Bytes(ExtendedMap());
    for (size_t size : {size_t(0), size_t(0x7FFF), size_t(0x8001), size_t(0x10000)}) {
        image.resize(size);
        EXPECT_NE(kIOReturnSuccess, HandOver(image)) << size << " bytes";
    }
    EXPECT_NE(kIOReturnSuccess, HandOver(CFSTR("not data")));
    EXPECT_EQ(before, DeviceMapArea());
    EXPECT_TRUE(Backups().empty());
}

TEST_F(DriverStandInTest, ARefusalSetByTheHostOwnerIsAnsweredWithItsStatus) {
    const auto before = DeviceMapArea();
    for (SInt32 refusal : {SInt32(kIOReturnNotPermitted), SInt32(-17), SInt32(0)}) {
        cf::Owned<CFNumberRef> number(
            CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &refusal));
        driver_->SetProperty(CFSTR("ReplacePartitionMapRefusal"), number.get());
        IOReturn status = HandOver(Bytes(ExtendedMap()));
        if (refusal != 0)
            EXPECT_EQ(refusal, status);
        else
            EXPECT_NE(kIOReturnSuccess, status) << "a refusal is never success";
        EXPECT_EQ(before, DeviceMapArea());
        EXPECT_TRUE(Backups().empty());
    }
}

TEST_F(DriverStandInTest, ABSDNameThatIsNotOnePathComponentIsNoDevice) {
    // A file the name might reach if it were followed.
    ::CreateDiskImage(host_ / "disk9", kDriveBytes, OldMap());
    const auto before = DeviceMapArea();
    for (std::string_view name :
         {std::string_view(""), std::string_view("."), std::string_view(".."),
          std::string_view("../disk9"), std::string_view("../disks/disk9.img"),
          std::string_view("disk9\0", 6), std::string_view("d\xC3\xAFsk9")}) {
        SetBSDName(name);
        EXPECT_NE(kIOReturnSuccess, HandOver(Bytes(ExtendedMap()))) << name;
    }
    media_->SetProperty(CFSTR("BSD Name"), CFSTR("disk9"));
    driver_->SetProperty(CFSTR("BSD Name"), kCFBooleanTrue);
    EXPECT_NE(kIOReturnSuccess, HandOver(Bytes(ExtendedMap())))
        << "the first BSD Name found is the one that counts, and it is not a string";
    EXPECT_EQ(before, DeviceMapArea());
    EXPECT_EQ(Bytes(OldMap()), Bytes(ReadMapImage(host_ / "disk9")));
    EXPECT_TRUE(Backups().empty());
}

TEST_F(DriverStandInTest, OtherPropertiesAreNotTheDriversAndAreNotStored) {
    EXPECT_EQ(kIOReturnUnsupported, [&] {
        io_iterator_t iterator = 0;
        IORegistryCreateIterator(kIOMasterPortDefault, kIOServicePlane, 1, &iterator);
        IOReturn status = kIOReturnNotFound;
        while (io_object_t object = IOIteratorNext(iterator)) {
            if (IOObjectConformsTo(object, host::kDriverClassName))
                status = IORegistryEntrySetCFProperty(object, CFSTR("Other"), CFSTR("x"));
            IOObjectRelease(object);
        }
        IOObjectRelease(iterator);
        return status;
    }());
    EXPECT_EQ(nullptr, driver_->Property(CFSTR("Other")));
}

// A device the driver cannot write to is a refusal with nothing changed. The
// superuser may write to any file, so then the attempt runs in a child
// process without those rights.
TEST_F(DriverStandInTest, ADeviceThatCannotBeWrittenIsARefusal) {
    const auto before = DeviceMapArea();
    ASSERT_EQ(0, chmod((host_ / "disks/disk9.img").c_str(), 0444));
    ASSERT_EQ(0, chmod(host_.path().c_str(), 0755));
    IOReturn status = kIOReturnSuccess;
    if (geteuid() != 0) {
        status = HandOver(Bytes(ExtendedMap()));
    } else {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(2);
            _exit(HandOver(Bytes(ExtendedMap())) == kIOReturnSuccess ? 1 : 0);
        }
        int result = 0;
        ASSERT_EQ(child, waitpid(child, &result, 0));
        ASSERT_TRUE(WIFEXITED(result));
        ASSERT_NE(2, WEXITSTATUS(result)) << "cannot drop the superuser's rights";
        status = WEXITSTATUS(result) == 0 ? kIOReturnNoDevice : kIOReturnSuccess;
    }
    EXPECT_NE(kIOReturnSuccess, status);
    EXPECT_EQ(before, DeviceMapArea());
    EXPECT_TRUE(Backups().empty());
}

TEST_F(DriverStandInTest, RestoreMapRefusesWhatIsNotAMapAndLeavesTheDeviceAlone) {
    const auto before = DeviceMapArea();
    int status = 0;
    std::string output = RunCommand(std::string(RESTORE_MAP_PROGRAM) + " " +
                                        host_.Write("notamap.apm", std::string(0x8000, 'x')) + " " +
                                        (host_ / "dev/disk9"),
                                    &status);
    EXPECT_EQ(1, status) << output;
    EXPECT_NE(std::string::npos, output.find("driver descriptor")) << output;

    // A file longer than a map area (such as a disk named in the wrong place)
    // is refused without being read whole.
    output = RunCommand(std::string(RESTORE_MAP_PROGRAM) + " " +
                            host_.Write("long.apm", std::string(0x100000, 'x')) + " " +
                            (host_ / "dev/disk9"),
                        &status);
    EXPECT_EQ(1, status) << output;
    EXPECT_NE(std::string::npos, output.find("longer than a map area")) << output;

    output = RunCommand(std::string(RESTORE_MAP_PROGRAM) + " " + (host_ / "missing.apm") + " " +
                            (host_ / "dev/disk9"),
                        &status);
    EXPECT_EQ(1, status) << output;
    output = RunCommand(std::string(RESTORE_MAP_PROGRAM), &status);
    EXPECT_EQ(2, status) << output;
    EXPECT_EQ(before, DeviceMapArea());
    EXPECT_TRUE(Backups().empty());
}

} // namespace
