// The settings import into a real store, then the export: whatever the import accepts (deep
// keys, odd names, any value bytes), the export must write back without failing or crashing.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/settings_store.h"
#include "platform/settings_transfer.h"

namespace {

using namespace kestrova::platform;

// A home of its own for the store and the two files, made once per process.
const std::string& Home() {
    static const std::string home = [] {
        char pattern[] = "/tmp/kestrova-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr) abort();
        setenv("KESTROVA_HOME", made, 1);
        return std::string(made);
    }();
    return home;
}

// Deletes every key of the store so that each input starts from nothing.
void EmptyStore() {
    std::vector<std::string> names;
    std::string name;
    for (uint32_t i = 0; StoreEnumKey(HKEY_CURRENT_USER, i, name) == StoreResult::Ok; ++i)
        names.push_back(name);
    for (const std::string& top : names) StoreDeleteTree(HKEY_CURRENT_USER, top);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string in = Home() + "/in.reg";
    const std::string out = Home() + "/out.reg";
    std::ofstream(in, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    EmptyStore();
    try {
        ImportSettings(in);
    } catch (const SettingsTransferError&) {
        return 0;  // refused with a reason: nothing to write back
    }
    try {
        ExportSettings(out);
    } catch (const SettingsTransferError& e) {
        std::fprintf(stderr, "accepted by the import, refused by the export: %s\n", e.what());
        abort();
    }
    return 0;
}
