#include "ui/plugin_options.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "module_settings.h"
#include "store/reg_ini_file.h"

namespace kestrova {
namespace {

auto Fields(const TUrlComponents& u) {
    return std::tie(u.Scheme, u.HostName, u.Port, u.UserName, u.Password, u.UrlPath, u.ExtraInfo);
}

// Copies of every stored field of the options and of the layout texts.
auto Stored(const TPluginOptions& o) {
    const TConnectOptions& c = o.Connect;
    const TAccountOptions& d = o.Default;
    const TTemplatesOptions& t = o.Templates;
    auto fields = std::tuple_cat(
        std::tie(o.AddToDisksMenu, o.DiskMenuNumber, o.ConnectAsDefault, o.ShowPrivateHosts,
                 o.ReplaceModes, o.SoundAlert, o.CopyPasswords),
        std::tie(c.LogFile, c.CreateLog, c.LogLevel, c.ServerTimeout, c.RetryCount, c.CacheLife,
                 c.PipelineDepth, c.ArticleSizeLimit, c.UseOverview, c.HeadersOnFirstEntry,
                 c.Compression),
        Fields(o.Proxy.Url), std::tie(o.Proxy.Reserved, o.Proxy.Socks5), Fields(d.Url),
        std::tie(d.FromName, d.FromAddr, d.ReplyTo, d.Organization, d.CharTable, d.UseProxy,
                 d.AskPassword),
        std::tie(t.QuoteChar, t.NewTemplate, t.ReplyTemplate, t.DownloadTemplate, t.SignatureFile),
        std::tie(ColumnTypes, ColumnWidths, StatusTypes, StatusWidths));
    return std::apply([](const auto&... field) { return std::make_tuple(field...); }, fields);
}

class PluginOptionsTest : public ::testing::Test {
  protected:
    std::string Stored(const char* section, const char* name) {
        return TRegIniFile(OptionsKey).ReadString(section, name, "<missing>");
    }
    void Store(const char* section, const char* name, const std::string& value) {
        TRegIniFile(OptionsKey).WriteString(section, name, value);
    }

    testing::ModuleSettings settings_;
};

TEST_F(PluginOptionsTest, EverySectionRoundTrips) {
    Options.DiskMenuNumber = 3;
    Options.ConnectAsDefault = 1;
    Options.Connect = {"/var/log/news.log", 1, 3, 15, 2, 48, 7, 5, 0};
    Options.Connect.HeadersOnFirstEntry = 2500;
    Options.Connect.Compression = 0;
    Options.Proxy = {{"", "proxy.example.org", 1080, "proxyuser", "proxypass", "/", ""}, 0, 0};
    // The author's name is Cyrillic in CP866.
    const TUrlComponents url{"", "", 0, "reader", "p@ss word", "", ""};
    Options.Default = {url, "", "\x88\xa2\xa0\xad", "r@x.org", "re@x.org", "Org", 1, 1, 1, 0, ""};
    Options.Templates = {'|', "new.tpl", "reply.tpl", "%s.txt", "my.sig"};
    ColumnTypes = "N,S", ColumnWidths = "0,10", StatusTypes = "N", StatusWidths = "0";
    SaveInterfaceOptions();
    SaveConnectOptions();
    SaveDefaultOptions();
    SaveProxyOptions();
    SaveTemplatesOptions();
    const auto saved = kestrova::Stored(Options);
    Options = {};
    ColumnTypes = ColumnWidths = StatusTypes = StatusWidths = "";
    LoadAllOptions();
    EXPECT_TRUE(kestrova::Stored(Options) == saved);
}

TEST_F(PluginOptionsTest, CopyPasswordsIsReadButNeverWritten) {
    Options.CopyPasswords = 1;
    SaveInterfaceOptions();
    EXPECT_EQ(Stored("INTERFACE", "Copy passwords"), "<missing>");
    Store("INTERFACE", "Copy passwords", "1");
    Options.CopyPasswords = 0;
    LoadInterfaceOptions();
    EXPECT_EQ(Options.CopyPasswords, 1);
}

TEST_F(PluginOptionsTest, OddStoredTextsReadAsDefaults) {
    Store("INTERFACE", "Disk menu number", "x");
    Store("TEMPLATES", "Quote", "#!");
    Store("DEFAULT", "Character table", "no-such-charset");
    LoadAllOptions();
    EXPECT_EQ(Options.DiskMenuNumber, 0);
    EXPECT_EQ(Options.Templates.QuoteChar, '#');
    EXPECT_EQ(Options.Default.CharTable, kNoSlot);
    SaveDefaultOptions();
    EXPECT_EQ(Stored("DEFAULT", "Character table"), ".default");

    Store("TEMPLATES", "Quote", "");
    LoadTemplatesOptions();
    EXPECT_EQ(Options.Templates.QuoteChar, '>');

    // The pipeline depth: damaged reads as the default, out of range is clamped.
    for (auto [stored, depth] : {std::pair{"x", 64},
                                 {"0", 1},
                                 {"-3", 1},
                                 {"5000", 1024},
                                 {"99999999999999999999", 64},
                                 {"1024", 1024}}) {
        Store("CONNECTION", "PipelineDepth", stored);
        LoadConnectOptions();
        EXPECT_EQ(Options.Connect.PipelineDepth, depth) << stored;
    }
    // Headers on first entry: below 0 reads as 0, every article.
    Store("CONNECTION", "HeadersOnFirstEntry", "-5");
    LoadConnectOptions();
    EXPECT_EQ(Options.Connect.HeadersOnFirstEntry, 0);
}

TEST_F(PluginOptionsTest, DefaultCharacterTableIsLookedUpAmongTheBuiltInSlots) {
    // Stored slots rename slot 0; the default account still finds "koi8-r" in the built-in slot 0.
    TRegIniFile(FrameworkKey).WriteString("CHARTABLES", "utf-7", "KOI-8");
    Store("DEFAULT", "Character table", "KOI8-R");
    LoadAllOptions();
    EXPECT_EQ(Options.Default.CharTable, 0);
    EXPECT_EQ(CharsetSlots[0].CharsetNames, "utf-7");
}

// Saving the proxy is checked by the configuration script; an empty stored password keeps one
// written into the URL by hand.
TEST_F(PluginOptionsTest, ProxyPasswordWrittenIntoTheUrlByHand) {
    Store("PROXY", "Url", "u:hand@proxy.example.org");
    Store("PROXY", "Password", "");
    LoadProxyOptions();
    EXPECT_EQ(Options.Proxy.Url.Password, "hand");
}

}  // namespace
}  // namespace kestrova
