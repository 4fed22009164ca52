// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

class TempFolderForTest {
  public:
    TempFolderForTest() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kvtest-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) != nullptr ? pattern : "";
    }
    TempFolderForTest(const TempFolderForTest&) = delete;
    TempFolderForTest& operator=(const TempFolderForTest&) = delete;
    ~TempFolderForTest() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }

    // The folder's path (ASCII, so the same in OEM and UTF-8).
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};
