// Settings export speed against the number of sibling keys: one key with 10,000 and then 40,000
// subkeys (each holding one value) is exported as text in a fresh store. Prints the time of each
// and their ratio: about 4 when the export is linear in the number of keys, 16 when quadratic.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/settings_store.h"
#include "platform/settings_transfer.h"

namespace {

using namespace kestrova::platform;

bool FillSiblings(int count) {
    StoreBatch batch;
    StoreKey parent = 0;
    if (StoreCreateKey(HKEY_CURRENT_USER, "Siblings", parent) != StoreResult::Ok) return false;
    for (int i = 0; i < count; ++i) {
        StoreKey child = 0;
        if (StoreCreateKey(parent, "Account " + std::to_string(i), child) != StoreResult::Ok)
            return false;
        StoreSetValue(child, "Url", REG_SZ, std::string("news://host") + '\0');
        StoreCloseKey(child);
    }
    StoreCloseKey(parent);
    return batch.Commit();
}

// Seconds to export a fresh store of count siblings; negative on a failure.
double ExportSeconds(const std::string& folder, int count) {
    const std::string home = folder + "/" + std::to_string(count);
    if (mkdir(home.c_str(), 0700) != 0) return -1;
    setenv("KESTROVA_HOME", home.c_str(), 1);
    ResetSettingsStore();
    if (!FillSiblings(count)) return -1;
    const auto start = std::chrono::steady_clock::now();
    try {
        ExportSettings(home + "/export.reg");
    } catch (const SettingsTransferError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return -1;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    ResetSettingsStore();
    return took.count();
}

}  // namespace

int main() {
    char folderTemplate[] = "/tmp/kestrova-export-bench-XXXXXX";
    if (mkdtemp(folderTemplate) == nullptr) return 1;
    const std::string folder = folderTemplate;
    const double small = ExportSeconds(folder, 10'000);
    const double large = ExportSeconds(folder, 40'000);
    std::system(("rm -rf '" + folder + "'").c_str());
    if (small < 0 || large < 0) return 1;
    std::printf("export of 10000 sibling keys: %.3f s\n", small);
    std::printf("export of 40000 sibling keys: %.3f s\n", large);
    std::printf("ratio 40000/10000: %.1f (linear: 4, quadratic: 16)\n", large / small);
    return 0;
}
