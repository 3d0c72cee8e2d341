// Opening device files on the simulated host. The program names raw devices
// by their Mac paths ("/dev/rdisk2"); this layer resolves such absolute device
// paths inside the host folder, so nothing the registry says reaches the
// machine's own /dev. Every other path is used as it is.
#pragma once

#include <string>
#include <string_view>

namespace posix {

// The folder that plays the host's "/" (set once at start-up by the host).
void SetHostRoot(const std::string& root);
// The folder set above; empty until then.
const std::string& HostRoot();

// True when name is one path component that stays where it is put: not
// empty, without '/' or NUL, and not "." or "..".
bool IsPlainFileName(std::string_view name);

// The path as this machine sees it: "/dev/x" becomes "<host root>/dev/x".
// A device path that would climb out of the host's dev/ (a ".." component),
// or any device path while no host root is set, gives the empty path, which
// nothing can open.
std::string ResolveHostPath(const char* path);

// open(2) on the resolved path.
int open(const char* path, int oflag, int mode);

} // namespace posix
