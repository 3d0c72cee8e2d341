// restore-map BACKUP DEVICE: puts a map area kept by the driver (32 KB, blocks
// 0 to 63) back on a device or disk image. The backup must be a whole map
// that fits the device; what it replaces is kept beside the backup first.
#include "host/MapWriter.h"
#include "partition/MapRecords.h"
#include "tools/CommandLine.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (std::optional<int> status =
            CheckCommandLine({"restore-map", "BACKUP DEVICE", 2}, argc, argv))
        return *status;
    const std::filesystem::path backup = argv[1], device = argv[2];
    std::ifstream in(backup, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "restore-map: cannot read %s\n", backup.c_str());
        return 1;
    }
    // One byte more than a map area tells a longer file (or a device named
    // in the wrong place) without reading all of it.
    std::vector<UInt8> image(kMapImageSize + 1);
    in.read(reinterpret_cast<char*>(image.data()), std::streamsize(image.size()));
    if (in.bad()) {
        std::fprintf(stderr, "restore-map: cannot read %s\n", backup.c_str());
        return 1;
    }
    image.resize(size_t(in.gcount()));
    if (image.size() > kMapImageSize) {
        std::fprintf(stderr, "restore-map: %s is longer than a map area (%u bytes)\n",
                     backup.c_str(), unsigned(kMapImageSize));
        return 1;
    }
    std::string folder = backup.parent_path().empty() ? "." : backup.parent_path().string();
    host::MapReplacement outcome =
        host::ReplaceMapArea(device.string(), image, folder, device.filename().string());
    if (outcome.status != kIOReturnSuccess) {
        std::fprintf(stderr, "restore-map: %s\n", outcome.problem.c_str());
        if (!outcome.backupPath.empty())
            std::fprintf(stderr, "restore-map: the map it replaced is kept in %s\n",
                         outcome.backupPath.c_str());
        return 1;
    }
    std::printf("restored %s from %s; the map it replaced is kept in %s\n", device.c_str(),
                backup.c_str(), outcome.backupPath.c_str());
    return 0;
}
