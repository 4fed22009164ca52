#include "ui/plugin_options.h"

#include <algorithm>
#include <type_traits>
#include <variant>
#include <vector>

#include "common/password_scramble.h"
#include "store/reg_ini_file.h"
#include "ui/char_tables.h"
#include "ui/module_state.h"

namespace kestrova {

TPluginOptions Options;
std::string ColumnTypes = kDefaultColumnTypes;
std::string ColumnWidths = kDefaultColumnWidths;
std::string StatusTypes = kDefaultStatusTypes;
std::string StatusWidths = kDefaultStatusWidths;

namespace {

constexpr const char* kInterface = "INTERFACE";
constexpr const char* kConnection = "CONNECTION";
constexpr const char* kDefault = "DEFAULT";
constexpr const char* kProxy = "PROXY";
constexpr const char* kTemplates = "TEMPLATES";

constexpr unsigned kProxyUrlFlags = kUrlUserName | kUrlNoScheme;  // never the password

// A password kept scrambled in the store, and an account's character table kept by its slot's
// name.
struct TScrambled {
    std::string* Field;
};
struct TSlotName {
    int* Field;
};

// One stored value of a section: its key, the field it fills, the default read when nothing is
// stored. Load and Save walk the same list, so the two can never drift apart.
struct TOptionKey {
    const char* Name;
    std::variant<int*, std::string*, TScrambled, TSlotName, char*> Field;
    std::variant<int, const char*> Default;
    bool Written = true;  // false: read, never written
};

void LoadKey(TRegIniFile& ini, const char* section, const TOptionKey& k) {
    auto text = [&] { return ini.ReadString(section, k.Name, std::get<const char*>(k.Default)); };
    std::visit(
        [&](auto field) {
            using T = decltype(field);
            if constexpr (std::is_same_v<T, int*>)
                *field = ini.ReadInteger(section, k.Name, std::get<int>(k.Default));
            else if constexpr (std::is_same_v<T, std::string*>)
                *field = text();
            else if constexpr (std::is_same_v<T, TScrambled>)
                *field.Field = UnscramblePassword(text());
            else if constexpr (std::is_same_v<T, TSlotName>)
                *field.Field = SlotIndex(text());
            else {
                std::string one = text();  // the quote character; empty: the default
                *field = one.empty() ? kDefaultQuoteChar : one[0];
            }
        },
        k.Field);
}

void SaveKey(TRegIniFile& ini, const char* section, const TOptionKey& k) {
    std::visit(
        [&](auto field) {
            using T = decltype(field);
            if constexpr (std::is_same_v<T, int*>)
                ini.WriteInteger(section, k.Name, *field);
            else if constexpr (std::is_same_v<T, std::string*>)
                ini.WriteString(section, k.Name, *field);
            else if constexpr (std::is_same_v<T, TScrambled>)
                ini.WriteString(section, k.Name, ScramblePassword(*field.Field));
            else if constexpr (std::is_same_v<T, TSlotName>)
                ini.WriteString(section, k.Name, SlotName(*field.Field));
            else
                ini.WriteString(section, k.Name, std::string(1, *field));
        },
        k.Field);
}

void LoadKeys(const char* section, const std::vector<TOptionKey>& keys) {
    TRegIniFile ini(OptionsKey);
    for (const TOptionKey& k : keys) LoadKey(ini, section, k);
}

void SaveKeys(const char* section, const std::vector<TOptionKey>& keys) {
    TRegIniFile ini(OptionsKey);
    for (const TOptionKey& k : keys)
        if (k.Written) SaveKey(ini, section, k);
}

std::vector<TOptionKey> InterfaceKeys() {
    TPluginOptions& o = Options;
    return {{"Add to disks menu", &o.AddToDisksMenu, 1},
            {"Disk menu number", &o.DiskMenuNumber, 0},
            {"Connect as default", &o.ConnectAsDefault, 0},
            {"Show private hosts", &o.ShowPrivateHosts, 1},
            {"Replace modes", &o.ReplaceModes, 1},
            {"Sound alert", &o.SoundAlert, 1},
            {"Copy passwords", &o.CopyPasswords, 0, false},
            {"Column types", &ColumnTypes, kDefaultColumnTypes},
            {"Column widths", &ColumnWidths, kDefaultColumnWidths},
            {"Status types", &StatusTypes, kDefaultStatusTypes},
            {"Status widths", &StatusWidths, kDefaultStatusWidths}};
}

std::vector<TOptionKey> ConnectKeys() {
    TConnectOptions& c = Options.Connect;
    return {{"Log file", &c.LogFile, ""},
            {"Create log", &c.CreateLog, 0},
            {"Log level", &c.LogLevel, 0},
            {"Server timeout", &c.ServerTimeout, 0},
            {"Retry count", &c.RetryCount, 0},
            {"Cache life", &c.CacheLife, 0},
            {"PipelineDepth", &c.PipelineDepth, kDefaultPipelineDepth},
            {"Article size limit", &c.ArticleSizeLimit, 0},
            {"UseOverview", &c.UseOverview, 1},
            {"HeadersOnFirstEntry", &c.HeadersOnFirstEntry, kDefaultHeadersOnFirstEntry},
            {"Compression", &c.Compression, 1},
            {"Article cache", &c.ArticleCache, kDefaultArticleCache}};
}

std::vector<TOptionKey> DefaultKeys() {
    TAccountOptions& d = Options.Default;
    return {{"UserName", &d.Url.UserName, ""},
            {"Password", TScrambled{&d.Url.Password}, ""},
            {"FromName", &d.FromName, ""},
            {"FromAddr", &d.FromAddr, ""},
            {"ReplyTo", &d.ReplyTo, ""},
            {"Organization", &d.Organization, ""},
            {"Character table", TSlotName{&d.CharTable}, kDefaultTableName},
            {"Ask password", &d.AskPassword, 0},
            {"Use proxy", &d.UseProxy, 0}};
}

std::vector<TOptionKey> TemplatesKeys() {
    TTemplatesOptions& t = Options.Templates;
    static const char kQuote[] = {kDefaultQuoteChar, 0};
    return {{"Quote", &t.QuoteChar, kQuote},
            {"New", &t.NewTemplate, ""},
            {"Reply", &t.ReplyTemplate, ""},
            {"Download", &t.DownloadTemplate, ""},
            {"Signature", &t.SignatureFile, kDefaultSignatureFile},
            {"Save with LF", &t.SaveWithLf, 0}};
}

}  // namespace

void LoadInterfaceOptions() {
    LoadKeys(kInterface, InterfaceKeys());
}

void SaveInterfaceOptions() {
    SaveKeys(kInterface, InterfaceKeys());
}

int ClampPipelineDepth(int depth) {
    return std::clamp(depth, 1, kMaxPipelineDepth);
}

void LoadConnectOptions() {
    LoadKeys(kConnection, ConnectKeys());
    TConnectOptions& c = Options.Connect;
    c.PipelineDepth = ClampPipelineDepth(c.PipelineDepth);
    c.ArticleSizeLimit = std::max(0, c.ArticleSizeLimit);
    c.ArticleCache = std::max(0, c.ArticleCache);
    c.HeadersOnFirstEntry = std::max(0, c.HeadersOnFirstEntry);
}

void SaveConnectOptions() {
    SaveKeys(kConnection, ConnectKeys());
}

void LoadDefaultOptions() {
    LoadKeys(kDefault, DefaultKeys());
}

void SaveDefaultOptions() {
    SaveKeys(kDefault, DefaultKeys());
}

void LoadProxyOptions() {
    TRegIniFile ini(OptionsKey);
    TProxyOptions& p = Options.Proxy;
    // What is stored replaces what was loaded before, also when nothing is stored.
    p.Url = TUrlComponents{};
    ParseUrl(ini.ReadString(kProxy, "Url", ""), kUrlNoScheme, p.Url);
    std::string password = UnscramblePassword(ini.ReadString(kProxy, "Password", ""));
    if (!password.empty()) p.Url.Password = password;
    p.Reserved = 0;
    p.Socks5 = ini.ReadInteger(kProxy, "Socks version 5", 1);
}

void SaveProxyOptions() {
    TRegIniFile ini(OptionsKey);
    const TProxyOptions& p = Options.Proxy;
    std::string url;
    BuildUrl(p.Url, kProxyUrlFlags, url);
    ini.WriteString(kProxy, "Url", url);
    ini.WriteString(kProxy, "Password", ScramblePassword(p.Url.Password));
    ini.WriteInteger(kProxy, "Socks version 5", p.Socks5);
}

void LoadTemplatesOptions() {
    LoadKeys(kTemplates, TemplatesKeys());
}

void SaveTemplatesOptions() {
    SaveKeys(kTemplates, TemplatesKeys());
}

void LoadAllOptions() {
    LoadInterfaceOptions();
    LoadConnectOptions();
    LoadDefaultOptions();
    LoadProxyOptions();
    LoadSlots();
    LoadTemplatesOptions();
}

}  // namespace kestrova
