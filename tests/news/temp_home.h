// KESTROVA_HOME pointed at a fresh folder for the life of one test.
#pragma once

#include <string>

#include "platform/scoped_environment.h"
#include "platform/temp_folder.h"

class TempHomeForTest {
  public:
    TempHomeForTest() { environment_.Set("KESTROVA_HOME", folder_.Path().c_str()); }

    const std::string& Folder() const { return folder_.Path(); }
    std::string At(const std::string& name) const { return folder_.Path() + "/" + name; }

  private:
    TempFolderForTest folder_;
    ScopedEnvironment environment_;
};
