// Extending a drive's map from the push button, end to end: the worked
// example read back by GNU parted and initialised by hfsutils, a second
// attempt, and every other way an attempt can end, each with its alert.
#include "tests/e2e/ProgramRun.h"
#include "tests/e2e/TestHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace e2e {
namespace {

constexpr const char* kSuccess =
    "A new drive volume has been created with the extra capacity of the drive.";
constexpr const char* kRestart =
    "Please restart your Macintosh, run Disk Utility and initialize the new volume.";
constexpr SInt64 kWorkedBytes = 160'041'885'696;
constexpr const char* kUnableSuffix =
    " Sorry, unable to fix Partition Map on the currently selected drive.";

// A command's standard output; its exit status in *status.
std::string Capture(const std::string& command, int* status) {
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return text;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, n);
    int raw = pclose(pipe);
    *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return text;
}

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// parted's machine-readable lines for the partitions of an image, in sectors,
// free space included: "number:start:end:size:(fs|free):name:flags;".
std::vector<std::string> PartedLines(const fs::path& image) {
    int status = 0;
    std::string out =
        Capture("parted -s -m " + Quoted(image) + " unit s print free 2>/dev/null", &status);
    EXPECT_EQ(status, 0) << out;
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line != "BYT;")
            lines.push_back(line);
    return lines;
}

ProgramRun ChooseAndPress(TestHost& host, int item = 3) {
    RunOptions options;
    options.actions = {"select " + std::to_string(item), "click push 1"};
    return RunProgram(host.path(), options, host.scratch());
}

json Alert(int kind, const std::string& title, const std::string& message,
           const char* secondary = nullptr) {
    json alert = {{"event", "alert"},
                  {"kind", kind},
                  {"title", title},
                  {"message", message},
                  {"secondary", nullptr}};
    if (secondary)
        alert["secondary"] = secondary;
    return alert;
}

std::vector<UInt8> MapArea(const fs::path& image) {
    MapImage map = ReadMapImage(image.string());
    return {map.bytes.begin(), map.bytes.end()};
}

// The worked example's result as it must stand on the disk.
void ExpectWorkedExampleResult(const fs::path& image) {
    MapImage map = ReadMapImage(image.string());
    EXPECT_EQ(map.descriptor().sbBlkCount(), 312'581'808u);
    const Partition& volume = map.slot(3);
    EXPECT_EQ(volume.pmParType(), "Apple_HFS");
    EXPECT_EQ(volume.pmPartName(), "Apple_HFS_Untitled_2");
    EXPECT_EQ(volume.pmPyPartStart(), 268'000'000u);
    EXPECT_EQ(volume.pmPartBlkCnt(), 44'581'791u);
    EXPECT_EQ(volume.pmPartStatus(), 0x40000033u);
    const Partition& free = map.slot(4);
    EXPECT_EQ(free.pmParType(), "Apple_Free");
    EXPECT_EQ(free.pmPyPartStart(), 312'581'791u);
    EXPECT_EQ(free.pmPartBlkCnt(), 16u);
    for (UInt32 k = 1; k <= 4; ++k)
        EXPECT_EQ(map.slot(k).pmMapBlkCnt(), 4u) << "slot " << k;

    // GNU parted reads the new map: the volume, the 16 free blocks, and the
    // drive's last block in no partition.
    std::vector<std::string> lines = PartedLines(image);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_NE(lines[0].find(":312581808s:"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[lines.size() - 2], "3:268000000s:312581790s:44581791s::Apple_HFS_Untitled_2:;");
    EXPECT_EQ(lines.back(), "1:312581791s:312581807s:17s:free;");
}

TEST(Extension, TheWorkedExampleBecomesAVolumeThatPartedReadsAndHformatInitialises) {
    TestHost host;
    std::string disk = host.AddDrive(WorkedExampleDrive());
    host.Write();
    ProgramRun run = ChooseAndPress(host);

    ASSERT_EQ(run.Alerts().size(), 1u) << run.errors;
    EXPECT_EQ(run.Alerts()[0], Alert(1, "Note", kSuccess, kRestart));
    EXPECT_EQ(run.exitStatus, 0);
    ExpectWorkedExampleResult(host.ImagePath(disk));
    // The driver kept the map it replaced.
    ASSERT_TRUE(fs::exists(host.path() / "var/backups"));
    EXPECT_FALSE(fs::is_empty(host.path() / "var/backups"));

    // hfsutils initialises the new volume (the map's second HFS partition).
    fs::path image = host.ImagePath(disk);
    std::string env = "HOME=" + Quoted(host.scratch()) + " ";
    int status = 0;
    std::string out = Capture(env + "hformat -l Extra " + Quoted(image) + " 2 2>&1", &status);
    ASSERT_EQ(status, 0) << out;
    out = Capture(env + "hmount " + Quoted(image) + " 2 2>&1 && " + env + "hvol 2>&1; " + env +
                      "humount >/dev/null 2>&1",
                  &status);
    EXPECT_NE(out.find("Extra"), std::string::npos) << out;
}

TEST(Extension, AMapMadeByPartedIsExtendedAlike) {
    TestHost host;
    TestDrive drive;
    drive.map = MapImage{}; // replaced below by parted's own map
    std::string disk = host.AddDrive(drive);
    host.Write();
    // parted writes the map of a disk of 0x0FFFFFFF blocks; the disk then grows.
    fs::path image = host.ImagePath(disk);
    fs::resize_file(image, 0x0FFFFFFFull * 512);
    int status = 0;
    std::string out = Capture("parted -s " + Quoted(image) +
                                  " mklabel mac mkpart Archive hfs 64s 267999999s 2>&1",
                              &status);
    ASSERT_EQ(status, 0) << out;
    fs::resize_file(image, 160'041'885'696ull);

    ProgramRun run = ChooseAndPress(host);
    ASSERT_EQ(run.Alerts().size(), 1u) << run.errors;
    EXPECT_EQ(run.Alerts()[0], Alert(1, "Note", kSuccess, kRestart));
    std::vector<std::string> lines = PartedLines(image);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "3:268000000s:312581790s:44581791s::Apple_HFS_Untitled_2:;");
    EXPECT_EQ(lines.back(), "1:312581791s:312581807s:17s:free;");
}

TEST(Extension, ASecondAttemptFindsTheDriveUpdatedAndHandsNothingOver) {
    TestHost host;
    std::string disk = host.AddDrive(WorkedExampleDrive());
    host.Write();
    ASSERT_EQ(ChooseAndPress(host).Alerts().size(), 1u);
    std::vector<UInt8> extended = MapArea(host.ImagePath(disk));
    size_t backups = std::distance(fs::directory_iterator(host.path() / "var/backups"), {});

    ProgramRun again = ChooseAndPress(host);
    ASSERT_EQ(again.Alerts().size(), 1u);
    EXPECT_EQ(again.Alerts()[0], Alert(1, "Note", "This drive has already been updated."));
    EXPECT_EQ(MapArea(host.ImagePath(disk)), extended);
    EXPECT_EQ(std::distance(fs::directory_iterator(host.path() / "var/backups"), {}),
              static_cast<std::ptrdiff_t>(backups));
    EXPECT_EQ(again.exitStatus, 0);
    // Back in the event loop: the state after the press follows the alert.
    EXPECT_EQ(again.States().size(), 3u);
}

TEST(Extension, EveryOtherOutcomeIsToldWithItsAlertAndLeavesTheDiskAsItWas) {
    constexpr UInt32 kOldLimit = 0x0FFFFFFF;
    struct Case {
        const char* what;
        TestDrive drive;
        json alert;
    };
    auto drive = [](std::optional<MapImage> map, SInt64 bytes = kWorkedBytes) {
        TestDrive d;
        d.map = std::move(map);
        d.sizeInBytes = bytes;
        return d;
    };
    TestDrive shortDevice = drive(WorkedExampleMap().build());
    shortDevice.deviceBytes = 20 * 1024;
    TestDrive refusing = drive(WorkedExampleMap().build());
    refusing.refusal = -536870212; // kIOReturnNotPermitted
    const UInt32 updatedBlocks = 488'397'168;

    std::vector<Case> cases = {
        {"short device", shortDevice,
         Alert(0, "Error", std::string("ReadBytesFromBlock512 Failed.") + kUnableSuffix)},
        {"no map", drive(MapImage{}), Alert(0, "Error", "No valid partition map found.")},
        {"ends in a volume",
         drive(MapImageBuilder(kOldLimit).addHFS("Media", 64, kOldLimit - 64).build()),
         Alert(0, "Error",
               "Last Partition is not Free! Sorry, Unable to fix Partition Map on the currently "
               "selected drive")},
        {"updated by another tool",
         drive(MapImageBuilder(updatedBlocks)
                   .addHFS("Projects", 64, kOldLimit - 64)
                   .addFree(kOldLimit, updatedBlocks - kOldLimit - 1)
                   .build(),
               SInt64(updatedBlocks) * 512),
         Alert(1, "Note", "This drive has already been updated.")},
        {"2 TiB", drive(WorkedExampleMap().build(), SInt64(1) << 41),
         Alert(0, "Error",
               "This drive is too large for an Apple Partition Map. Sorry, unable to fix "
               "Partition Map on the currently selected drive.")},
        {"map partition full",
         drive(MapImageBuilder(kOldLimit, 3)
                   .addHFS("Archive", 64, 267'999'936)
                   .addFree(268'000'000, 435'455)
                   .build()),
         Alert(0, "Error",
               "The partition map has no room for another entry. Sorry, unable to fix Partition "
               "Map on the currently selected drive.")},
        {"free space too small",
         drive(MapImageBuilder(kOldLimit)
                   .addHFS("Archive", 64, kOldLimit - 15 - 64)
                   .addFree(kOldLimit - 15, 15)
                   .build(),
               SInt64(kOldLimit) * 512),
         Alert(0, "Error",
               "There is not enough free space at the end of the drive for a new volume.")},
        {"volume behind the free space",
         drive(MapImageBuilder(kOldLimit)
                   .addHFS("Archive", 64, 267'999'936)
                   .addHFS("Late", 300'000'000, 1000)
                   .addFree(268'000'000, 435'455)
                   .build()),
         Alert(0, "Error",
               "The free partition at the end of the map overlaps another partition. Sorry, "
               "unable to fix Partition Map on the currently selected drive.")},
        {"driver refuses", refusing,
         Alert(0, "Error",
               "IORegistryEntrySetCFProperty Failed. Sorry, Unable to fix Partition Map on the "
               "currently selected drive")},
    };
    for (Case& c : cases) {
        TestHost host;
        std::string disk = host.AddDrive(c.drive);
        host.Write();
        fs::path image = host.ImagePath(disk);
        std::vector<char> before(fs::file_size(image) < 0x8000 ? fs::file_size(image) : 0x8000);
        std::ifstream(image).read(before.data(), before.size());

        ProgramRun run = ChooseAndPress(host);
        ASSERT_EQ(run.Alerts().size(), 1u) << c.what << run.errors;
        EXPECT_EQ(run.Alerts()[0], c.alert) << c.what;
        std::vector<char> after(before.size());
        std::ifstream(image).read(after.data(), after.size());
        EXPECT_EQ(after, before) << c.what;
        EXPECT_EQ(run.exitStatus, 0) << c.what;
        EXPECT_EQ(run.States().size(), 3u) << c.what << ": back in the event loop";
    }
}

} // namespace
} // namespace e2e
