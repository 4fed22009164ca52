// The settings store: one SQLite database, KESTROVA_HOME/registry.db, that stands for
// HKEY_CURRENT_USER. Keys form a tree named by backslash paths; each key holds typed values and
// subkeys. Key and value names are compared without regard to case and kept as written; subkeys
// enumerate in case-insensitive name order, values in creation order. Every write and every tree
// delete is one transaction (WAL mode, busy time-out), so several processes can share the store
// and a crash never leaves half a write.
//
// The connection is opened on first use and shared by everything in the process. Handles work
// like registry handles: open or create a key, use the handle, close it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "hostapi/plugin_api.h"

namespace kestrova::platform {

using StoreKey = uintptr_t;  // 0: no key
inline constexpr StoreKey HKEY_CURRENT_USER = 0x80000001u;

// Value types as the registry numbers them.
inline constexpr uint32_t REG_NONE = 0;
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_EXPAND_SZ = 2;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;

enum class StoreResult {
    Ok,
    NotFound,      // no such key or value (also: an enumeration index past the end)
    AccessDenied,  // a write through a read-only handle, or a full-access open of a locked key
    Failed,        // the database could not be opened, read or written
};

enum class StoreAccess { Read, Full };

struct StoreKeyInfo {
    uint32_t SubKeys = 0;
    uint32_t MaxSubKeyLen = 0;
    uint32_t Values = 0;
    uint32_t MaxValueNameLen = 0;
    uint32_t MaxValueLen = 0;
    FILETIME LastWriteTime{};
};

// Opens an existing key. The path is relative to base (a handle or HKEY_CURRENT_USER); an empty
// path opens base itself again; a trailing backslash is accepted. Full access fails with
// AccessDenied on a locked key or a store that is open read-only.
StoreResult StoreOpenKey(StoreKey base, std::string_view path, StoreAccess access, StoreKey& key);
// Opens the key with full access, creating it and any missing parents first.
StoreResult StoreCreateKey(StoreKey base, std::string_view path, StoreKey& key);
void StoreCloseKey(StoreKey key);
// Deletes the key at path under base with all its subkeys and values, in one transaction.
StoreResult StoreDeleteTree(StoreKey base, std::string_view path);
// Marks a key so that it opens only for reading (a lock set by whoever administers the store).
StoreResult StoreSetKeyLocked(StoreKey base, std::string_view path, bool locked);

StoreResult StoreQueryInfo(StoreKey key, StoreKeyInfo& info);
StoreResult StoreEnumKey(StoreKey key, uint32_t index, std::string& name);
StoreResult StoreEnumValue(StoreKey key, uint32_t index, std::string& name);
// The value's type and exact bytes.
StoreResult StoreQueryValue(StoreKey key, std::string_view name, uint32_t& type, std::string& data);
StoreResult StoreSetValue(StoreKey key, std::string_view name, uint32_t type,
                          std::string_view data);
StoreResult StoreDeleteValue(StoreKey key, std::string_view name);

// How deep keys may be nested below HKEY_CURRENT_USER in a settings text (the registry's own
// limit).
inline constexpr size_t kMaxKeyDepth = 512;

// One key of a tree read by StoreReadTree: its depth below the tree's top (0: the top itself),
// its name and its values in creation order.
struct StoreTreeValue {
    std::string name;
    uint32_t type = 0;
    std::string data;
};
struct StoreTreeKey {
    size_t depth = 0;
    std::string name;
    std::vector<StoreTreeValue> values;
};
// The key and every key below it, depth first, subkeys in enumeration order: two queries over
// the database whatever the tree's shape, no recursion.
StoreResult StoreReadTree(StoreKey key, std::vector<StoreTreeKey>& keys);

// Why the last call above failed in the database itself (it could not be opened, read or
// written): the file and SQLite's reason; an empty reason when it did not. A damaged database
// (malformed pages, not a database) is never written again by this process.
struct StoreFault {
    std::string path;
    std::string reason;
};
StoreFault LastStoreFault();

// Groups the writes made while it lives into one transaction: committed by Commit, rolled back
// when destroyed without it. Not Active when the transaction cannot begin (store not open,
// read-only, or another batch running); writes then go one by one as usual.
class StoreBatch {
  public:
    StoreBatch();
    ~StoreBatch();
    StoreBatch(const StoreBatch&) = delete;
    StoreBatch& operator=(const StoreBatch&) = delete;
    bool Active() const { return open_; }
    bool Commit();  // false when not active or the commit failed (everything is then undone)

  private:
    bool open_ = false;
};

// True when name holds a control character (NUL and DEL included): the store refuses such key
// and value names, as they could not be written out as text and read back.
bool HasControlCharacter(std::string_view name);

// Path of the database file and the schema version it is written with.
std::string SettingsStorePath();
inline constexpr int kSettingsSchemaVersion = 1;

// Check-points the write-ahead log into the database file (so that the file alone is a full copy)
// and closes the connection and every handle; done by itself when the process ends. The next call
// opens the store again under the then current KESTROVA_HOME. A process that forks calls it first:
// a connection must not cross fork().
void ResetSettingsStore();

}  // namespace kestrova::platform
