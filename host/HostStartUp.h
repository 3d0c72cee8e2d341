// Entering the simulated host: what the application does first, before it
// looks at anything of the machine.
#pragma once

#include <string>

namespace host {

// The host folder: CAPEXT_HOST when it is set, otherwise the demo host in
// ${XDG_DATA_HOME:-$HOME/.local/share}/CapacityExtender/demo-host.
std::string HostFolderPath();

// Chooses the host folder (making the demo host on first use), makes it the
// current directory and the root of device paths, loads its registry.plist
// into the I/O Registry and lets the driver stand-in serve the maker's
// driver objects. A registry file that cannot be loaded leaves the registry
// empty (no drive is listed) after one line on standard error. False, after
// one line on standard error, when there is no usable host folder at all.
bool EnterSimulatedHost();

} // namespace host
