// KESTROVA_HOME pointed at a fresh folder for the life of one test.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "platform/scoped_environment.h"
#include "platform/temp_folder.h"

// The whole content of a file; empty when there is none.
inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

class TempHomeForTest {
  public:
    TempHomeForTest() { environment_.Set("KESTROVA_HOME", folder_.Path().c_str()); }

    const std::string& Folder() const { return folder_.Path(); }
    std::string At(const std::string& name) const { return folder_.Path() + "/" + name; }
    // The whole content of a file in the folder; empty when there is none.
    std::string ReadFile(const std::string& name) const { return ReadWholeFile(At(name)); }

  private:
    TempFolderForTest folder_;
    ScopedEnvironment environment_;
};
