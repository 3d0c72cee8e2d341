// Where the application bundle of an executable lies. Internal to the
// corefoundation folder (and its tests).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cf {

// The bundle folder ".../Name.app" of an executable at
// ".../Name.app/Contents/MacOS/<program>", or nothing when the executable
// does not lie inside a bundle.
std::optional<std::string> BundleFolderOfExecutable(std::string_view executablePath);

} // namespace cf
