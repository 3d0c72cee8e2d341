// Host folders built for one test: the system version, the IOService plane
// with the maker's driver objects, and for each drive its disk image and
// device nodes. Removed when the test ends.
#pragma once

#include "partition/MapImageBuilder.h"
#include "platform/MacTypes.h"
#include "tests/support/TempFolder.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

namespace fs = std::filesystem;

// A drive as the registry describes it and as its device holds it.
struct TestDrive {
    std::string productName = "TARNWICK TW1600A";
    SInt64 sizeInBytes = 160'041'885'696; // "Size" in the registry
    // Blocks 0 to 63 of the device; none: no device nodes at all.
    std::optional<MapImage> map;
    // Size of the disk image; none: sizeInBytes. Under 32 KB the device
    // holds only the first bytes of the map area.
    std::optional<UInt64> deviceBytes;
    // The driver refuses every map with this status.
    std::optional<SInt32> refusal;
};

// The drive of the worked example: 160,041,885,696 bytes, one HFS volume, and
// a map made under the 128 GiB limit that ends in free space at block
// 268,000,000 of 435,455 blocks.
TestDrive WorkedExampleDrive();
MapImageBuilder WorkedExampleMap();

class TestHost {
  public:
    // A new empty host folder under the system's temporary folder.
    TestHost();

    // "10.3.9" by default; none: the host has no SystemVersion.plist.
    void SetSystemVersion(std::optional<std::string> productVersion);
    // Adds a drive served by the maker's driver; answers its BSD name ("disk1", ...).
    std::string AddDrive(TestDrive drive);
    // Writes registry.plist, SystemVersion.plist, disk images and device nodes.
    void Write();

    const fs::path& path() const { return path_; }
    fs::path ImagePath(const std::string& bsdName) const;
    // A folder beside the host for the test's own files.
    const fs::path& scratch() const { return scratch_; }

  private:
    TempFolder base_;
    fs::path path_;
    fs::path scratch_;
    std::optional<std::string> systemVersion_ = "10.3.9";
    std::vector<std::pair<std::string, TestDrive>> drives_;
};

} // namespace e2e
