#include "ui/plugin_options.h"

#include <algorithm>

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

}  // namespace

void LoadInterfaceOptions() {
    TRegIniFile ini(OptionsKey);
    Options.AddToDisksMenu = ini.ReadInteger(kInterface, "Add to disks menu", 1);
    Options.DiskMenuNumber = ini.ReadInteger(kInterface, "Disk menu number", 0);
    Options.ConnectAsDefault = ini.ReadInteger(kInterface, "Connect as default", 0);
    Options.ShowPrivateHosts = ini.ReadInteger(kInterface, "Show private hosts", 1);
    Options.ReplaceModes = ini.ReadInteger(kInterface, "Replace modes", 1);
    Options.SoundAlert = ini.ReadInteger(kInterface, "Sound alert", 1);
    Options.CopyPasswords = ini.ReadInteger(kInterface, "Copy passwords", 0);
    ColumnTypes = ini.ReadString(kInterface, "Column types", kDefaultColumnTypes);
    ColumnWidths = ini.ReadString(kInterface, "Column widths", kDefaultColumnWidths);
    StatusTypes = ini.ReadString(kInterface, "Status types", kDefaultStatusTypes);
    StatusWidths = ini.ReadString(kInterface, "Status widths", kDefaultStatusWidths);
}

void SaveInterfaceOptions() {
    TRegIniFile ini(OptionsKey);
    ini.WriteInteger(kInterface, "Add to disks menu", Options.AddToDisksMenu);
    ini.WriteInteger(kInterface, "Disk menu number", Options.DiskMenuNumber);
    ini.WriteInteger(kInterface, "Connect as default", Options.ConnectAsDefault);
    ini.WriteInteger(kInterface, "Show private hosts", Options.ShowPrivateHosts);
    ini.WriteInteger(kInterface, "Replace modes", Options.ReplaceModes);
    ini.WriteInteger(kInterface, "Sound alert", Options.SoundAlert);
    ini.WriteString(kInterface, "Column types", ColumnTypes);
    ini.WriteString(kInterface, "Column widths", ColumnWidths);
    ini.WriteString(kInterface, "Status types", StatusTypes);
    ini.WriteString(kInterface, "Status widths", StatusWidths);
}

int ClampPipelineDepth(int depth) {
    return std::clamp(depth, 1, kMaxPipelineDepth);
}

void LoadConnectOptions() {
    TRegIniFile ini(OptionsKey);
    TConnectOptions& c = Options.Connect;
    c.LogFile = ini.ReadString(kConnection, "Log file", "");
    c.CreateLog = ini.ReadInteger(kConnection, "Create log", 0);
    c.LogLevel = ini.ReadInteger(kConnection, "Log level", 0);
    c.ServerTimeout = ini.ReadInteger(kConnection, "Server timeout", 0);
    c.RetryCount = ini.ReadInteger(kConnection, "Retry count", 0);
    c.CacheLife = ini.ReadInteger(kConnection, "Cache life", 0);
    c.PipelineDepth =
        ClampPipelineDepth(ini.ReadInteger(kConnection, "PipelineDepth", kDefaultPipelineDepth));
    c.ArticleSizeLimit = std::max(0, ini.ReadInteger(kConnection, "Article size limit", 0));
}

void SaveConnectOptions() {
    TRegIniFile ini(OptionsKey);
    const TConnectOptions& c = Options.Connect;
    ini.WriteString(kConnection, "Log file", c.LogFile);
    ini.WriteInteger(kConnection, "Create log", c.CreateLog);
    ini.WriteInteger(kConnection, "Log level", c.LogLevel);
    ini.WriteInteger(kConnection, "Server timeout", c.ServerTimeout);
    ini.WriteInteger(kConnection, "Retry count", c.RetryCount);
    ini.WriteInteger(kConnection, "Cache life", c.CacheLife);
    ini.WriteInteger(kConnection, "PipelineDepth", c.PipelineDepth);
    ini.WriteInteger(kConnection, "Article size limit", c.ArticleSizeLimit);
}

void LoadDefaultOptions() {
    TRegIniFile ini(OptionsKey);
    TAccountOptions& d = Options.Default;
    d.Url.UserName = ini.ReadString(kDefault, "UserName", "");
    d.Url.Password = UnscramblePassword(ini.ReadString(kDefault, "Password", ""));
    d.FromName = ini.ReadString(kDefault, "FromName", "");
    d.FromAddr = ini.ReadString(kDefault, "FromAddr", "");
    d.ReplyTo = ini.ReadString(kDefault, "ReplyTo", "");
    d.Organization = ini.ReadString(kDefault, "Organization", "");
    d.CharTable = SlotIndex(ini.ReadString(kDefault, "Character table", kDefaultTableName));
    d.AskPassword = ini.ReadInteger(kDefault, "Ask password", 0);
    d.UseProxy = ini.ReadInteger(kDefault, "Use proxy", 0);
}

void SaveDefaultOptions() {
    TRegIniFile ini(OptionsKey);
    const TAccountOptions& d = Options.Default;
    ini.WriteString(kDefault, "UserName", d.Url.UserName);
    ini.WriteString(kDefault, "Password", ScramblePassword(d.Url.Password));
    ini.WriteString(kDefault, "FromName", d.FromName);
    ini.WriteString(kDefault, "FromAddr", d.FromAddr);
    ini.WriteString(kDefault, "ReplyTo", d.ReplyTo);
    ini.WriteString(kDefault, "Organization", d.Organization);
    ini.WriteString(kDefault, "Character table", SlotName(d.CharTable));
    ini.WriteInteger(kDefault, "Ask password", d.AskPassword);
    ini.WriteInteger(kDefault, "Use proxy", d.UseProxy);
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
    TRegIniFile ini(OptionsKey);
    TTemplatesOptions& t = Options.Templates;
    std::string quote = ini.ReadString(kTemplates, "Quote", std::string(1, kDefaultQuoteChar));
    t.QuoteChar = quote.empty() ? kDefaultQuoteChar : quote[0];
    t.NewTemplate = ini.ReadString(kTemplates, "New", "");
    t.ReplyTemplate = ini.ReadString(kTemplates, "Reply", "");
    t.DownloadTemplate = ini.ReadString(kTemplates, "Download", "");
    t.SignatureFile = ini.ReadString(kTemplates, "Signature", kDefaultSignatureFile);
    t.SaveWithLf = ini.ReadInteger(kTemplates, "Save with LF", 0);
}

void SaveTemplatesOptions() {
    TRegIniFile ini(OptionsKey);
    const TTemplatesOptions& t = Options.Templates;
    ini.WriteString(kTemplates, "Quote", std::string(1, t.QuoteChar));
    ini.WriteString(kTemplates, "New", t.NewTemplate);
    ini.WriteString(kTemplates, "Reply", t.ReplyTemplate);
    ini.WriteString(kTemplates, "Download", t.DownloadTemplate);
    ini.WriteString(kTemplates, "Signature", t.SignatureFile);
    ini.WriteInteger(kTemplates, "Save with LF", t.SaveWithLf);
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
