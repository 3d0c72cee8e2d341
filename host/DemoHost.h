// The demo host: a believable Mac on which every outcome of the program can
// be seen. Its IOService plane holds the maker's ATA-6 card with four drives
// (one ready to extend, one already extended, one under 128 GiB, one whose
// map ends in an HFS volume), drives on SCSI, FireWire and USB served by a
// class derived from the maker's driver, and a built-in drive of another
// driver class that the program must not list. Each listed drive has a
// sparse disk image with a real partition map, device nodes and a media icon.
#pragma once

#include <string>

namespace host {

// Makes the demo host in dir, which must not exist yet or be empty; false
// with *error set (one line) on failure.
bool MakeDemoHost(const std::string& dir, std::string* error);

} // namespace host
