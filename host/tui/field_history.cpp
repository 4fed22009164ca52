#include "host/tui/field_history.h"

#include <algorithm>

#include "platform/settings_store.h"

namespace kestrova::host::tui {
namespace {

using namespace platform;

std::string KeyPath(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '_');
    return std::string(kHistoryKey) + "\\" + name;
}

}  // namespace

void AddToHistory(std::vector<std::string>& history, const std::string& text) {
    if (text.empty()) return;
    std::erase(history, text);
    history.insert(history.begin(), text);
    if (history.size() > kHistoryLength) history.resize(kHistoryLength);
}

std::vector<std::string> LoadHistory(const std::string& name) {
    std::vector<std::string> history;
    StoreKey key = 0;
    if (StoreOpenKey(HKEY_CURRENT_USER, KeyPath(name), StoreAccess::Read, key) != StoreResult::Ok)
        return history;
    for (size_t i = 0; i < kHistoryLength; ++i) {
        uint32_t type = 0;
        std::string data;
        if (StoreQueryValue(key, std::to_string(i), type, data) != StoreResult::Ok) break;
        if (type == REG_SZ && !data.empty()) history.push_back(std::move(data));
    }
    StoreCloseKey(key);
    return history;
}

bool SaveHistory(const std::string& name, const std::vector<std::string>& history) {
    StoreBatch batch;
    const std::string path = KeyPath(name);
    const StoreResult deleted = StoreDeleteTree(HKEY_CURRENT_USER, path);
    if (deleted != StoreResult::Ok && deleted != StoreResult::NotFound) return false;
    StoreKey key = 0;
    if (StoreCreateKey(HKEY_CURRENT_USER, path, key) != StoreResult::Ok) return false;
    bool written = true;
    for (size_t i = 0; i < history.size() && i < kHistoryLength; ++i)
        written =
            written && StoreSetValue(key, std::to_string(i), REG_SZ, history[i]) == StoreResult::Ok;
    StoreCloseKey(key);
    return written && (!batch.Active() || batch.Commit());
}

}  // namespace kestrova::host::tui
