// A fresh folder for one test, removed with everything in it afterwards, and whole files read and
// written at native paths.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TempFolderForTest {
  public:
    TempFolderForTest()
        : path_((std::filesystem::temp_directory_path() / "kvtest-XXXXXX").string()) {
        if (mkdtemp(path_.data()) == nullptr) path_.clear();
    }
    TempFolderForTest(const TempFolderForTest&) = delete;
    TempFolderForTest& operator=(const TempFolderForTest&) = delete;
    ~TempFolderForTest() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }

    // The folder's path (ASCII, so the same in OEM and UTF-8).
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

inline std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}
