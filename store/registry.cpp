#include "store/registry.h"

#include <cstring>

#include "common/errors.h"

namespace kestrova {
namespace {

using platform::StoreAccess;
using platform::StoreResult;

// A leading backslash makes a path absolute; it is not part of the stored name.
bool IsRelative(const std::string& key) {
    return key.empty() || key[0] != '\\';
}
std::string StripRoot(const std::string& key) {
    return IsRelative(key) ? key : key.substr(1);
}

uint32_t TypeOfKind(TRegDataType kind) {
    switch (kind) {
        case TRegDataType::rdString:
            return platform::REG_SZ;
        case TRegDataType::rdExpandString:
            return platform::REG_EXPAND_SZ;
        case TRegDataType::rdInteger:
            return platform::REG_DWORD;
        case TRegDataType::rdBinary:
            return platform::REG_BINARY;
        case TRegDataType::rdUnknown:
            break;
    }
    return platform::REG_NONE;
}

TRegDataType KindOfType(uint32_t type) {
    switch (type) {
        case platform::REG_SZ:
            return TRegDataType::rdString;
        case platform::REG_EXPAND_SZ:
            return TRegDataType::rdExpandString;
        case platform::REG_DWORD:
            return TRegDataType::rdInteger;
        case platform::REG_BINARY:
            return TRegDataType::rdBinary;
        default:
            return TRegDataType::rdUnknown;
    }
}

std::string Quoted(const char* text, const std::string& name) {
    return text + ("'" + name + "'");
}

// The file and SQLite's reason after a failure of the database itself; empty when there is none.
std::string StoreFaultText() {
    const platform::StoreFault fault = platform::LastStoreFault();
    return fault.reason.empty() ? std::string() : fault.path + ": " + fault.reason;
}

// The database could not be opened, read or written: the user is told which file and why, rather
// than being shown empty folders or defaults.
StoreResult Checked(StoreResult r) {
    if (r != StoreResult::Ok) {
        const std::string why = StoreFaultText();
        if (!why.empty()) RaiseRegistryError("The settings store cannot be used. " + why);
    }
    return r;
}

// message, followed by the store's reason when the database itself failed.
std::string WithFault(const std::string& message, StoreResult r) {
    const std::string why = r != StoreResult::Ok ? StoreFaultText() : std::string();
    return why.empty() ? message : message + ". " + why;
}

}  // namespace

void RaiseRegistryError(const std::string& message) {
    throw ERegistryError(kItemFailure, message, "");
}

TRegistry::TRegistry() = default;

TRegistry::~TRegistry() {
    CloseKey();
}

void TRegistry::CloseKey() {
    if (CurrentKey == 0) return;
    platform::StoreCloseKey(CurrentKey);
    CurrentKey = 0;
    CurrentPath.clear();
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
    bool relative = IsRelative(Key);
    std::string path = StripRoot(Key);
    HKEY opened = 0;
    StoreResult r;
    if (!CanCreate || path.empty()) {
        r = platform::StoreOpenKey(BaseKey(relative), path, StoreAccess::Full, opened);
        if (r == StoreResult::AccessDenied)
            r = platform::StoreOpenKey(BaseKey(relative), path, StoreAccess::Read, opened);
    } else {
        r = platform::StoreCreateKey(BaseKey(relative), path, opened);
    }
    if (Checked(r) != StoreResult::Ok) return false;
    std::string newPath = relative && CurrentKey != 0 ? CurrentPath + "\\" + path : path;
    CloseKey();
    CurrentKey = opened;
    CurrentPath = newPath;
    return true;
}

bool TRegistry::CreateKey(const std::string& Key) {
    bool relative = IsRelative(Key);
    HKEY created = 0;
    const StoreResult r = platform::StoreCreateKey(BaseKey(relative), StripRoot(Key), created);
    if (r != StoreResult::Ok) RaiseRegistryError(WithFault("Failed to create key " + Key, r));
    platform::StoreCloseKey(created);
    return true;
}

HKEY TRegistry::GetKey(const std::string& Key) {
    bool relative = IsRelative(Key);
    std::string path = StripRoot(Key);
    HKEY key = 0;
    StoreResult r = platform::StoreOpenKey(BaseKey(relative), path, StoreAccess::Full, key);
    if (r == StoreResult::AccessDenied)
        r = platform::StoreOpenKey(BaseKey(relative), path, StoreAccess::Read, key);
    Checked(r);
    return key;
}

bool TRegistry::KeyExists(const std::string& Key) {
    HKEY key = GetKey(Key);
    if (key == 0) return false;
    platform::StoreCloseKey(key);
    return true;
}

bool TRegistry::DeleteKey(const std::string& Key) {
    bool relative = IsRelative(Key);
    return Checked(platform::StoreDeleteTree(BaseKey(relative), StripRoot(Key))) == StoreResult::Ok;
}

bool TRegistry::GetKeyInfo(TRegKeyInfo& Value) {
    Value = {};
    platform::StoreKeyInfo info;
    if (CurrentKey == 0 || Checked(platform::StoreQueryInfo(CurrentKey, info)) != StoreResult::Ok)
        return false;
    Value.NumSubKeys = info.SubKeys;
    Value.MaxSubKeyLen = info.MaxSubKeyLen;
    Value.NumValues = info.Values;
    Value.MaxValueLen = info.MaxValueNameLen;
    Value.MaxDataLen = info.MaxValueLen;
    Value.FileTime = info.LastWriteTime;
    return true;
}

void TRegistry::GetKeyNames(TStringList& Strings) {
    Strings.Clear();
    TRegKeyInfo info;
    if (!GetKeyInfo(info)) return;
    std::string name;
    for (uint32_t i = 0; i < info.NumSubKeys; ++i) {
        if (Checked(platform::StoreEnumKey(CurrentKey, i, name)) != StoreResult::Ok) break;
        Strings.Add(name);
    }
}

void TRegistry::GetValueNames(TStringList& Strings) {
    Strings.Clear();
    TRegKeyInfo info;
    if (!GetKeyInfo(info)) return;
    std::string name;
    for (uint32_t i = 0; i < info.NumValues; ++i) {
        if (Checked(platform::StoreEnumValue(CurrentKey, i, name)) != StoreResult::Ok) break;
        Strings.Add(name);
    }
}

bool TRegistry::GetDataInfo(const std::string& ValueName, TRegDataType& DataType, int& DataSize) {
    uint32_t type = 0;
    std::string data;
    DataType = TRegDataType::rdUnknown;
    DataSize = 0;
    if (CurrentKey == 0 ||
        Checked(platform::StoreQueryValue(CurrentKey, ValueName, type, data)) != StoreResult::Ok)
        return false;
    DataType = KindOfType(type);
    DataSize = static_cast<int>(data.size());
    return true;
}

int TRegistry::GetDataSize(const std::string& ValueName) {
    TRegDataType kind;
    int size;
    return GetDataInfo(ValueName, kind, size) ? size : -1;
}

bool TRegistry::ValueExists(const std::string& Name) {
    return GetDataSize(Name) >= 0;
}

std::string TRegistry::ReadString(const std::string& Name) {
    int size = GetDataSize(Name);
    if (size < 1) return {};
    std::string buffer(static_cast<size_t>(size), '\0');
    TRegDataType kind;
    int read = GetData(Name, buffer.data(), size, kind);
    if (kind != TRegDataType::rdString && kind != TRegDataType::rdExpandString)
        RaiseRegistryError(Quoted("Invalid data type for ", Name));
    buffer.resize(static_cast<size_t>(read));
    size_t nul = buffer.find('\0');
    if (nul != std::string::npos) buffer.resize(nul);
    return buffer;
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
    PutData(Name, Value.c_str(), static_cast<int>(Value.size()) + 1, TRegDataType::rdString);
}

FILETIME TRegistry::ReadTime(const std::string& Name) {
    FILETIME result{};
    unsigned char buffer[8] = {};
    TRegDataType kind;
    int read = GetData(Name, buffer, sizeof buffer, kind);
    if (kind != TRegDataType::rdBinary || read != static_cast<int>(sizeof buffer))
        RaiseRegistryError(Quoted("Invalid data type for ", Name));
    std::memcpy(&result.dwLowDateTime, buffer, 4);
    std::memcpy(&result.dwHighDateTime, buffer + 4, 4);
    return result;
}

void TRegistry::WriteTime(const std::string& Name, const FILETIME& Value) {
    unsigned char buffer[8];
    std::memcpy(buffer, &Value.dwLowDateTime, 4);
    std::memcpy(buffer + 4, &Value.dwHighDateTime, 4);
    PutData(Name, buffer, sizeof buffer, TRegDataType::rdBinary);
}

void TRegistry::PutData(const std::string& Name, const void* Buffer, int BufSize,
                        TRegDataType DataType) {
    std::string_view data(static_cast<const char*>(Buffer), static_cast<size_t>(BufSize));
    const StoreResult r =
        CurrentKey == 0 ? StoreResult::NotFound
                        : platform::StoreSetValue(CurrentKey, Name, TypeOfKind(DataType), data);
    if (r != StoreResult::Ok)
        RaiseRegistryError(WithFault(Quoted("Failed to set data for ", Name), r));
}

int TRegistry::GetData(const std::string& Name, void* Buffer, int BufSize, TRegDataType& DataType) {
    uint32_t type = 0;
    std::string data;
    if (CurrentKey == 0 ||
        Checked(platform::StoreQueryValue(CurrentKey, Name, type, data)) != StoreResult::Ok ||
        data.size() > static_cast<size_t>(BufSize))
        RaiseRegistryError(Quoted("Failed to get data for ", Name));
    std::memcpy(Buffer, data.data(), data.size());
    DataType = KindOfType(type);
    return static_cast<int>(data.size());
}

}  // namespace kestrova
