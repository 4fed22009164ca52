// TRegistry: a cursor on one open key of the settings store. Paths that begin with a backslash
// are absolute (resolved from RootKey); any other path is relative to the open key, or to RootKey
// when none is open. Every failure raises ERegistryError (code 0x20000000, no procedure name).
// When the database itself cannot be opened, read or written (damaged, read-only, unreadable),
// every operation raises "The settings store cannot be used. <file>: <SQLite's reason>" (writes:
// their own message followed by ". <file>: <reason>") instead of answering "missing".
#pragma once

#include <cstdint>
#include <string>

#include "common/string_list.h"
#include "hostapi/plugin_api.h"
#include "platform/settings_store.h"

namespace kestrova {

using HKEY = platform::StoreKey;
using platform::HKEY_CURRENT_USER;

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegKeyInfo {
    uint32_t NumSubKeys = 0;
    uint32_t MaxSubKeyLen = 0;
    uint32_t NumValues = 0;
    uint32_t MaxValueLen = 0;
    uint32_t MaxDataLen = 0;
    FILETIME FileTime{};
};

class TRegistry {
  public:
    TRegistry();
    virtual ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    void CloseKey();
    // Opens Key (full access, else read-only when CanCreate is false or Key is empty; created when
    // CanCreate is true). False, with the previous key still open, when it cannot be opened.
    bool OpenKey(const std::string& Key, bool CanCreate);
    // Creates Key and closes it again; raises "Failed to create key %s".
    bool CreateKey(const std::string& Key);
    // Deletes Key with everything below it in one step; false when it is missing or locked.
    bool DeleteKey(const std::string& Key);
    bool KeyExists(const std::string& Key);

    bool GetKeyInfo(TRegKeyInfo& Value);
    void GetKeyNames(TStringList& Strings);
    void GetValueNames(TStringList& Strings);
    bool GetDataInfo(const std::string& ValueName, TRegDataType& DataType, int& DataSize);
    int GetDataSize(const std::string& ValueName);  // -1 when the value is missing
    bool ValueExists(const std::string& Name);

    // Raises "Invalid data type for '%s'" for a value that is not a (expandable) string.
    std::string ReadString(const std::string& Name);
    void WriteString(const std::string& Name, const std::string& Value);
    // Raises "Failed to get data for '%s'" (missing, longer than 8 bytes) or "Invalid data type
    // for '%s'" (not binary, or shorter than 8 bytes).
    FILETIME ReadTime(const std::string& Name);
    void WriteTime(const std::string& Name, const FILETIME& Value);

    // Raises "Failed to set data for '%s'".
    void PutData(const std::string& Name, const void* Buffer, int BufSize, TRegDataType DataType);
    // Raises "Failed to get data for '%s'" when the value is missing or longer than BufSize.
    int GetData(const std::string& Name, void* Buffer, int BufSize, TRegDataType& DataType);

    HKEY CurrentKey = 0;
    HKEY RootKey = HKEY_CURRENT_USER;
    std::string CurrentPath;

  protected:
    // Opens Key with full access, falling back to read-only; zero when it does not exist.
    HKEY GetKey(const std::string& Key);
    // Makes Value the current key without closing the old one or changing CurrentPath.
    void SetCurrentKey(HKEY Value) { CurrentKey = Value; }

  private:
    HKEY BaseKey(bool relative) const { return relative && CurrentKey != 0 ? CurrentKey : RootKey; }
};

[[noreturn]] void RaiseRegistryError(const std::string& message);

}  // namespace kestrova
