// A settings store of its own for one test: KESTROVA_HOME points at a fresh folder and the
// process's store connection is reopened there. Values written and read at a key's path.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/scoped_environment.h"
#include "platform/settings_store.h"
#include "platform/temp_folder.h"

class FreshStore {
  public:
    FreshStore() {
        environment_.Set("KESTROVA_HOME", folder_.Path().c_str());
        kestrova::platform::ResetSettingsStore();
    }
    ~FreshStore() { kestrova::platform::ResetSettingsStore(); }
    FreshStore(const FreshStore&) = delete;
    FreshStore& operator=(const FreshStore&) = delete;

    const std::string& Folder() const { return folder_.Path(); }

  private:
    TempFolderForTest folder_;
    ScopedEnvironment environment_;
};

// Writes a value, making its key.
inline void PutValue(const std::string& path, const std::string& name, uint32_t type,
                     const std::string& data) {
    using namespace kestrova::platform;
    StoreKey key = 0;
    ASSERT_EQ(StoreCreateKey(HKEY_CURRENT_USER, path, key), StoreResult::Ok) << path;
    ASSERT_EQ(StoreSetValue(key, name, type, data), StoreResult::Ok) << name;
    StoreCloseKey(key);
}

// A value's data read through its key opened for reading only, or "<missing>".
inline std::string ValueAt(const std::string& path, const std::string& name) {
    using namespace kestrova::platform;
    StoreKey key = 0;
    uint32_t type;
    std::string data = "<missing>";
    if (StoreOpenKey(HKEY_CURRENT_USER, path, StoreAccess::Read, key) == StoreResult::Ok)
        StoreQueryValue(key, name, type, data);
    StoreCloseKey(key);
    return data;
}
