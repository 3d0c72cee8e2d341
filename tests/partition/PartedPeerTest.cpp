// Maps made by GNU parted, extended here, written back and read by parted and
// hfsutils again: tools nobody here wrote judge the result.
#include "partition/BlockReads.h"
#include "partition/MapExtension.h"

#include "MapBufferFixture.h"
#include "tests/support/TempFolder.h"

#include <algorithm>
#include <array>
#include <blkid/blkid.h>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr UInt64 k128GiBDiskBytes = UInt64(0x0FFFFFFF) * 512;
constexpr SInt64 kGrownDiskBytes = 160041885696; // 312,581,808 blocks
constexpr UInt32 kGrownBlocks = 312581808;

struct CommandResult {
    int status;
    std::string output; // standard output and standard error together
};

CommandResult RunCommand(const std::string& command) {
    CommandResult result{-1, {}};
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 4096> chunk;
    size_t got;
    while ((got = fread(chunk.data(), 1, chunk.size(), pipe)) > 0) {
        result.output.append(chunk.data(), got);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// One partition as libblkid reports it, in 512-byte sectors.
struct ProbedPartition {
    UInt64 start;
    UInt64 size;
    std::string name;
    std::string type;
    bool operator==(const ProbedPartition&) const = default;
};

// The partition table type and the partitions that libblkid finds in an image.
std::pair<std::string, std::vector<ProbedPartition>> ProbePartitions(const std::string& path) {
    std::pair<std::string, std::vector<ProbedPartition>> found;
    blkid_probe probe = blkid_new_probe_from_filename(path.c_str());
    if (probe == nullptr) {
        return found;
    }
    blkid_probe_enable_partitions(probe, 1);
    blkid_probe_set_partitions_flags(probe, BLKID_PARTS_ENTRY_DETAILS);
    if (blkid_partlist list = blkid_probe_get_partitions(probe)) {
        if (blkid_parttable table = blkid_partlist_get_table(list)) {
            found.first = blkid_parttable_get_type(table);
        }
        for (int i = 0; i < blkid_partlist_numof_partitions(list); ++i) {
            blkid_partition part = blkid_partlist_get_partition(list, i);
            const char* name = blkid_partition_get_name(part);
            const char* type = blkid_partition_get_type_string(part);
            found.second.push_back({UInt64(blkid_partition_get_start(part)),
                                    UInt64(blkid_partition_get_size(part)), name ? name : "",
                                    type ? type : ""});
        }
    }
    blkid_free_probe(probe);
    return found;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// A file of the given size, all holes.
void MakeSparseFile(const std::string& path, UInt64 size) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, off_t(size)), 0);
    close(fd);
}

// The bytes at a block of a file.
std::string ReadAt(const std::string& path, UInt64 block, UInt32 count) {
    std::string bytes(count, '\0');
    const int fd = open(path.c_str(), O_RDONLY);
    const bool ok = ReadBytesFromBlock512DevFile(fd, block, count, bytes.data());
    close(fd);
    return ok ? bytes : std::string();
}

class PartedPeer : public MapBufferTest {
  protected:
    void SetUp() override {
        MapBufferTest::SetUp();
        if (RunCommand("command -v " PARTED_PROGRAM " && command -v " HFORMAT_PROGRAM).status !=
            0) {
            FAIL() << "GNU parted and hfsutils are needed: run scripts/setup";
        }
    }

    // A 128 GiB disk image with a mac label made by parted, then grown.
    std::string PartedDisk(const std::string& mkpart) {
        const std::string disk = dir / "disk.img";
        MakeSparseFile(disk, k128GiBDiskBytes);
        const CommandResult made =
            RunCommand(PARTED_PROGRAM " -s " + Quoted(disk) + " mklabel mac " + mkpart);
        EXPECT_EQ(made.status, 0) << made.output;
        MakeSparseFile(disk, kGrownDiskBytes);
        return disk;
    }

    // The extension as the program runs it: read the map area, extend.
    MapOutcome ExtendDisk(const std::string& disk) {
        std::memset(myIOBuffer, 0, kIOBufferSize);
        const int fd = open(disk.c_str(), O_RDONLY);
        const bool read = ReadBytesFromBlock512DevFile(fd, 0, kMapImageSize, myIOBuffer);
        close(fd);
        EXPECT_TRUE(read);
        return ExtendMapImage(kGrownDiskBytes);
    }

    TempFolder dir;
};

} // namespace

TEST_F(PartedPeer, TheExtendedMapIsReadBackAndTheNewVolumeFormatted) {
    const std::string disk = PartedDisk("mkpart Data hfs 64s 1000000s");
    ASSERT_EQ(ExtendDisk(disk), MapOutcome::readyToHandOver);
    WriteMapImage(disk, Image());

    const CommandResult print = RunCommand(PARTED_PROGRAM " -s " + Quoted(disk) + " unit s print");
    ASSERT_EQ(print.status, 0) << print.output;
    EXPECT_EQ(print.output.find("Warning"), std::string::npos) << print.output;
    EXPECT_EQ(print.output.find("Error"), std::string::npos) << print.output;
    const CommandResult machine =
        RunCommand(PARTED_PROGRAM " -s -m " + Quoted(disk) + " unit s print");
    ASSERT_EQ(machine.status, 0) << machine.output;
    EXPECT_NE(machine.output.find(":312581808s:file:512:512:mac:"), std::string::npos)
        << machine.output;
    EXPECT_NE(machine.output.find("\n1:1s:63s:63s::Apple:"), std::string::npos) << machine.output;
    EXPECT_NE(machine.output.find("\n2:64s:1000000s:999937s::Data:"), std::string::npos)
        << machine.output;
    EXPECT_NE(machine.output.find("\n3:1000001s:312581790s:311581790s::Apple_HFS_Untitled_2:"),
              std::string::npos)
        << machine.output;

    // hfsutils numbers the HFS partitions only: the new volume is the second.
    const std::string home = "HOME=" + Quoted(dir.path().string());
    const CommandResult format =
        RunCommand(home + " " HFORMAT_PROGRAM " -l Extended " + Quoted(disk) + " 2");
    ASSERT_EQ(format.status, 0) << format.output;
    EXPECT_NE(format.output.find("Volume name is \"Extended\""), std::string::npos)
        << format.output;

    // The master directory block lies in the volume's block 2 and its copy in
    // the second-to-last block; the volume's allocation blocks fit the partition.
    const UInt64 start = 1000001, size = 311581790;
    const std::string mdb = ReadAt(disk, start + 2, 512);
    ASSERT_EQ(mdb.substr(0, 2), "BD");
    const auto* m = reinterpret_cast<const UInt8*>(mdb.data());
    const UInt64 allocationBlocks = GetBigEndian16(m + 18);
    const UInt64 allocationBlockSize = GetBigEndian32(m + 20);
    const UInt64 firstAllocationSector = GetBigEndian16(m + 28);
    EXPECT_LE(firstAllocationSector * 512 + allocationBlocks * allocationBlockSize,
              (size - 2) * 512);
    EXPECT_GT(allocationBlocks * allocationBlockSize,
              (size - 1000) * 512 - allocationBlockSize * 2);
    EXPECT_EQ(ReadAt(disk, start + size - 2, 2), "BD");

    // Nothing was written behind the volume: the free entry and the last block.
    EXPECT_EQ(ReadAt(disk, kGrownBlocks - 17, 17 * 512), std::string(17 * 512, '\0'));

    // The next attempt finds the drive updated.
    EXPECT_EQ(ExtendDisk(disk), MapOutcome::alreadyUpdated);
}

TEST_F(PartedPeer, LibblkidFindsTheNewVolumeAndTheFreeEntryBehindIt) {
    const std::string disk = PartedDisk("mkpart Data hfs 64s 1000000s");
    ASSERT_EQ(ExtendDisk(disk), MapOutcome::readyToHandOver);
    WriteMapImage(disk, Image());

    const auto [table, partitions] = ProbePartitions(disk);
    EXPECT_EQ(table, "mac");
    const ProbedPartition volume{1000001, 311581790, "Apple_HFS_Untitled_2", "Apple_HFS"};
    const ProbedPartition behind{kGrownBlocks - 17, 16, "Extra", "Apple_Free"};
    EXPECT_NE(std::find(partitions.begin(), partitions.end(), volume), partitions.end());
    EXPECT_NE(std::find(partitions.begin(), partitions.end(), behind), partitions.end());
    for (const ProbedPartition& p : partitions) {
        EXPECT_LE(p.start + p.size, kGrownBlocks - 1) << p.name << " reaches the last block";
    }
}

TEST_F(PartedPeer, AGapInFrontOfTheFirstVolumeMakesTheMapOverlap) {
    // parted describes the gap before block 2048 with a free entry that comes
    // right before the trailing free entry in the map; merged, they reach
    // over the volume.
    const std::string disk = PartedDisk("mkpart Data hfs 2048s 1000000s");
    EXPECT_EQ(ExtendDisk(disk), MapOutcome::freeOverlapsPartition);
}
