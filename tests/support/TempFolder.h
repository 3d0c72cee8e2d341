// A fresh folder of the test's own under the system's temporary folder,
// removed with everything in it when the test ends. Test programs run side by
// side, so a test never writes to a fixed temporary path.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

class TempFolder {
  public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "capext-test-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a temporary folder");
        path_ = pattern;
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    const std::filesystem::path& path() const { return path_; }
    // The path of something below the folder, as text.
    std::string operator/(const std::string& relative) const { return (path_ / relative).string(); }

    // Writes text to the relative path, making its folders; answers the path.
    std::string Write(const std::string& relative, const std::string& text) const {
        std::filesystem::path file = path_ / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
        return file.string();
    }

  private:
    std::filesystem::path path_;
};
