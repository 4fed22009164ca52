#include "platform/settings_transfer.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/codepages.h"
#include "platform/settings_store.h"
#include "platform/settings_text_reader.h"

namespace kestrova::platform {
namespace {

bool PlainText(std::string_view oem) {
    return !HasControlCharacter(oem) && Utf8ToOem(OemToUtf8(oem)) == oem;
}

std::string Quoted(std::string_view oem) {
    std::string out = "\"";
    for (char c : OemToUtf8(oem)) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + '"';
}

std::string HexBytes(std::string_view data) {
    static const char* const kDigits = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < data.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(data[i]);
        if (i > 0) out += ',';
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

std::string ValueData(uint32_t type, const std::string& data) {
    if (type == REG_SZ && !data.empty() && data.back() == '\0' &&
        PlainText(std::string_view(data).substr(0, data.size() - 1)))
        return Quoted(std::string_view(data).substr(0, data.size() - 1));
    if (type == REG_DWORD && data.size() == 4) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = v << 8 | static_cast<unsigned char>(data[static_cast<size_t>(i)]);
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x", v);
        return text;
    }
    if (type == REG_BINARY) return "hex:" + HexBytes(data);
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", type);
    return prefix + HexBytes(data);
}

void Fail(const std::string& message) {
    throw SettingsTransferError(message);
}

// The key at path and everything below it, read in one pass and written without recursion, so
// neither a deep nor a wide tree costs more than its own size.
void ExportKey(StoreKey key, const std::string& path, std::string& out) {
    std::vector<StoreTreeKey> keys;
    if (StoreReadTree(key, keys) != StoreResult::Ok) Fail("cannot read key " + path);
    std::vector<std::string> paths;  // the path of the last key seen at each depth
    for (const StoreTreeKey& k : keys) {
        paths.resize(k.depth);
        const std::string parent = k.depth == 0 ? std::string() : paths.back();
        if (k.depth > 0 && !PlainText(k.name))
            Fail("the key name " + Quoted(k.name) + " under " + parent +
                 " cannot be written as text");
        const std::string keyPath =
            k.depth == 0 ? path : (parent.empty() ? k.name : parent + "\\" + k.name);
        paths.push_back(keyPath);
        const bool header = !keyPath.empty() || !k.values.empty();
        if (header)
            out +=
                "[HKEY_CURRENT_USER" + (keyPath.empty() ? "" : "\\" + OemToUtf8(keyPath)) + "]\r\n";
        for (const StoreTreeValue& v : k.values) {
            if (!PlainText(v.name))
                Fail("the value name " + Quoted(v.name) + " of " + keyPath +
                     " cannot be written as text");
            out +=
                (v.name.empty() ? "@" : Quoted(v.name)) + "=" + ValueData(v.type, v.data) + "\r\n";
        }
        if (header) out += "\r\n";
    }
}

void Apply(const SettingsEdit& edit) {
    StoreKey key = 0;
    StoreResult r = StoreResult::Ok;
    switch (edit.kind) {
        case SettingsEdit::Kind::CreateKey:
            r = StoreCreateKey(HKEY_CURRENT_USER, edit.keyPath, key);
            break;
        case SettingsEdit::Kind::DeleteKey:
            r = StoreDeleteTree(HKEY_CURRENT_USER, edit.keyPath);
            if (r == StoreResult::NotFound) r = StoreResult::Ok;  // already gone
            break;
        case SettingsEdit::Kind::SetValue:
        case SettingsEdit::Kind::DeleteValue:
            r = StoreOpenKey(HKEY_CURRENT_USER, edit.keyPath, StoreAccess::Full, key);
            if (r == StoreResult::Ok && edit.kind == SettingsEdit::Kind::SetValue)
                r = StoreSetValue(key, edit.valueName, edit.type, edit.data);
            else if (r == StoreResult::Ok &&
                     StoreDeleteValue(key, edit.valueName) == StoreResult::Failed)
                r = StoreResult::Failed;
            break;
    }
    StoreCloseKey(key);
    if (r != StoreResult::Ok)
        throw SettingsFormatError(edit.line, r == StoreResult::AccessDenied
                                                 ? "the key is read-only"
                                                 : "the store refused the change");
}

}  // namespace

std::optional<std::string> SettingsText(std::string_view keyPath) {
    while (!keyPath.empty() && keyPath.back() == '\\') keyPath.remove_suffix(1);
    StoreKey key = 0;
    const StoreResult opened = StoreOpenKey(HKEY_CURRENT_USER, keyPath, StoreAccess::Read, key);
    if (opened == StoreResult::NotFound) return std::nullopt;
    if (opened != StoreResult::Ok) Fail("cannot open key " + std::string(keyPath));
    std::string text;
    try {
        ExportKey(key, std::string(keyPath), text);
    } catch (...) {
        StoreCloseKey(key);
        throw;
    }
    StoreCloseKey(key);
    return text;
}

void ExportSettings(const std::string& path) {
    std::string text = "REGEDIT4\r\n\r\n" + SettingsText("").value_or("");
    std::string temp = path + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!(out << text) || !out.flush()) {
            std::remove(temp.c_str());
            Fail("Cannot create file '" + path + "'");
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        Fail("Cannot create file '" + path + "'");
    }
}

void ImportSettings(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail("Cannot open file '" + path + "'");
    std::string text(std::istreambuf_iterator<char>(in), {});
    try {
        std::vector<SettingsEdit> edits = ReadSettingsText(text);
        StoreBatch batch;
        if (!batch.Active()) Fail("the settings store cannot be written");
        for (const SettingsEdit& edit : edits) Apply(edit);
        if (!batch.Commit()) Fail("the settings store cannot be written");
    } catch (const SettingsFormatError& e) {
        Fail(path + ": " + e.what());
    }
}

}  // namespace kestrova::platform
