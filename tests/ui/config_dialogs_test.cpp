#include "ui/config_dialogs.h"

#include <gtest/gtest.h>

#include "fake_host.h"
#include "platform/fresh_store.h"
#include "store/reg_ini_file.h"
#include "ui/char_tables.h"
#include "ui/module_state.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

using testing::FakeHost;

constexpr const char* kOptionsKey = "Software\\Test\\Kestrova\\";
constexpr const char* kFrameworkKey = "Software\\Test\\Tarnwick\\";

class ConfigDialogsTest : public testing::HostTest {
  protected:
    ConfigDialogsTest() {
        OptionsKey = kOptionsKey;
        FrameworkKey = kFrameworkKey;
        Options = TPluginOptions{};
        CharsetSlots = kBuiltInCharsetSlots;
    }
    ~ConfigDialogsTest() override {
        OptionsKey.clear();
        FrameworkKey.clear();
        CharsetSlots = kBuiltInCharsetSlots;
    }

    std::string Stored(const char* section, const char* ident) {
        return TRegIniFile(kOptionsKey).ReadString(section, ident, "<missing>");
    }
    const std::vector<FarDialogItem>& Shown(size_t dialog = 0) {
        return host.dialogs.at(dialog).items;
    }

    FreshStore store;
};

TEST_F(ConfigDialogsTest, InterfaceShowsTheOptionsAndStoresALetterAsZero) {
    Options.AddToDisksMenu = 1;
    Options.DiskMenuNumber = 3;
    Options.SoundAlert = 5;
    ColumnTypes = "N,S";
    host.dialogAnswers = {FakeHost::Close(19, {{2, "x"}, {11, "N,C0"}}, {{7, 0}})};
    EXPECT_TRUE(InterfaceDialog());

    const auto& items = Shown();
    ASSERT_EQ(items.size(), 21u);
    EXPECT_EQ(items[1].Selected, 1);
    EXPECT_STREQ(items[2].Data, "3");
    EXPECT_EQ(items[7].Selected, 1);
    EXPECT_STREQ(items[11].Data, "N,S");
    EXPECT_EQ(items[19].DefaultButton, 1);
    EXPECT_EQ(items[1].Focus, 1);
    EXPECT_EQ(host.dialogs[0].helpTopic, "dlgInterface");

    EXPECT_EQ(Options.DiskMenuNumber, 0);
    EXPECT_EQ(Options.SoundAlert, 0);
    EXPECT_EQ(ColumnTypes, "N,C0");
    EXPECT_EQ(Stored("INTERFACE", "Disk menu number"), "0");
    EXPECT_EQ(Stored("INTERFACE", "Column types"), "N,C0");
}

TEST_F(ConfigDialogsTest, CancelledDialogsChangeAndStoreNothing) {
    Options.Connect.RetryCount = 2;
    host.dialogAnswers = {FakeHost::Close(15, {{9, "7"}}), FakeHost::Close(-1, {{9, "7"}})};
    EXPECT_FALSE(ConnectionDialog());
    EXPECT_FALSE(ConnectionDialog());
    EXPECT_EQ(Options.Connect.RetryCount, 2);
    EXPECT_EQ(Stored("CONNECTION", "Retry count"), "<missing>");
}

TEST_F(ConfigDialogsTest, ConnectionReadsNumbersAndTheLogFile) {
    host.dialogAnswers = {FakeHost::Close(
        14, {{2, "/tmp/news.log"}, {4, "2"}, {7, "30"}, {9, "3"}, {11, "48"}}, {{3, 1}})};
    EXPECT_TRUE(ConnectionDialog());
    EXPECT_STREQ(Shown()[2].History, "KstrvLog");
    const TConnectOptions& c = Options.Connect;
    EXPECT_EQ(c.LogFile, "/tmp/news.log");
    EXPECT_EQ(c.CreateLog, 1);
    EXPECT_EQ(c.LogLevel, 2);
    EXPECT_EQ(c.ServerTimeout, 30);
    EXPECT_EQ(c.RetryCount, 3);
    EXPECT_EQ(c.CacheLife, 48);
    EXPECT_EQ(Stored("CONNECTION", "Cache life"), "48");
}

TEST_F(ConfigDialogsTest, ProxyWithoutPasswordStoresHostPortAndUser) {
    host.dialogAnswers = {FakeHost::Close(8, {{2, "bob@proxy.example:1080"}, {4, ""}})};
    EXPECT_TRUE(ProxyDialog());
    const TUrlComponents& url = Options.Proxy.Url;
    EXPECT_EQ(url.HostName, "proxy.example");
    EXPECT_EQ(url.Port, 1080);
    EXPECT_EQ(url.UserName, "bob");
    EXPECT_EQ(url.Password, "");
    EXPECT_EQ(Stored("PROXY", "Url").find("secret"), std::string::npos);
}

TEST_F(ConfigDialogsTest, ProxyPasswordFieldSetsThePassword) {
    host.dialogAnswers = {FakeHost::Close(8, {{2, "bob@proxy.example:1080"}, {4, "secret"}})};
    EXPECT_TRUE(ProxyDialog());
    EXPECT_EQ(Options.Proxy.Url.Password, "secret");
    EXPECT_EQ(Stored("PROXY", "Url").find("secret"), std::string::npos);
}

TEST_F(ConfigDialogsTest, ProxyWithAnEmptiedAddressRemovesTheProxy) {
    Options.Proxy.Url.HostName = "old.example";
    Options.Proxy.Url.Port = 1080;
    Options.Proxy.Url.UserName = "bob";
    Options.Proxy.Url.Password = "secret";
    host.dialogAnswers = {FakeHost::Close(8, {{2, ""}, {4, ""}})};
    EXPECT_TRUE(ProxyDialog());
    EXPECT_STREQ(Shown()[2].Data, "bob@old.example:1080");
    const TUrlComponents& url = Options.Proxy.Url;
    EXPECT_EQ(url.HostName, "");
    EXPECT_EQ(url.Port, 0);
    EXPECT_EQ(url.UserName, "");
    EXPECT_EQ(url.Password, "");
    EXPECT_EQ(Stored("PROXY", "Url"), "");
    EXPECT_EQ(Stored("PROXY", "Password"), "");
}

TEST_F(ConfigDialogsTest, TemplatesTakeTheFirstQuoteCharacterAndEmptyGivesTheDefault) {
    struct Case {
        const char* field;
        char quote;
    };
    for (Case c : {Case{"|", '|'}, Case{"", '>'}}) {
        host.dialogAnswers = {FakeHost::Close(11, {{1, c.field}, {9, "Re: %Subject%"}})};
        EXPECT_TRUE(TemplatesDialog());
        EXPECT_EQ(Options.Templates.QuoteChar, c.quote) << c.field;
        EXPECT_EQ(Options.Templates.ReplyTemplate, "Re: %Subject%");
    }
}

TEST_F(ConfigDialogsTest, DefaultAccountKeepsTheSlotWhenCancelledAfterChoosing) {
    Options.Default.CharTable = kNoSlot;
    // Button 13 opens the slot menu: ".default", separator, koi8-r, windows-1251, iso-8859-5.
    host.dialogAnswers = {FakeHost::Close(13), FakeHost::Close(17)};
    host.menuAnswers = {3};
    EXPECT_FALSE(DefaultAccountDialog());
    EXPECT_EQ(Options.Default.CharTable, kNoSlot);
    ASSERT_EQ(host.dialogs.size(), 2u);
    EXPECT_STREQ(Shown(0)[14].Data, ".default");
    EXPECT_STREQ(Shown(1)[14].Data, "windows-1251");
}

TEST_F(ConfigDialogsTest, DefaultAccountStoresTheChosenSlotOnAccept) {
    host.dialogAnswers = {FakeHost::Close(13), FakeHost::Close(16, {{2, "Ann"}}, {{10, 1}})};
    host.menuAnswers = {2};
    EXPECT_TRUE(DefaultAccountDialog());
    EXPECT_EQ(Options.Default.CharTable, 0);
    EXPECT_EQ(Options.Default.FromName, "Ann");
    EXPECT_EQ(Options.Default.AskPassword, 1);
    EXPECT_EQ(host.dialogs[0].helpTopic, "dlgDefault");
}

TEST_F(ConfigDialogsTest, CharTablesKeepAChosenTableInMemoryWhenCancelled) {
    // Row 3 (free) gets a table: the menu lists .default, .dos, .windows, separator,
    // .autodetect, then the host's tables from entry 5 on.
    host.dialogAnswers = {FakeHost::Close(4 + 2 * 3), FakeHost::Close(25)};
    host.menuAnswers = {6};
    EXPECT_FALSE(CharTablesDialog());
    EXPECT_EQ(CharsetSlots[3].CharsetTables, "CP-1251   (Windows russian)");
    const auto& first = Shown(0);
    EXPECT_EQ(std::string(first[4 + 2 * 3].Data), std::string(30, ' '));
    EXPECT_EQ(std::string(first[4].Data), std::string(25, ' ') + "KOI-8");
    EXPECT_EQ(std::string(Shown(1)[4 + 2 * 3].Data),
              std::string(3, ' ') + "CP-1251   (Windows russian)");
    TStringList names;
    TRegIniFile(kFrameworkKey).ReadSection("CHARTABLES", names);
    EXPECT_EQ(names.Count(), 0);
}

TEST_F(ConfigDialogsTest, CharTablesAcceptStoresTheNames) {
    host.dialogAnswers = {FakeHost::Close(24, {{3 + 2 * 3, "x-mac-cyrillic"}})};
    EXPECT_TRUE(CharTablesDialog());
    EXPECT_EQ(CharsetSlots[3].CharsetNames, "x-mac-cyrillic");
    EXPECT_EQ(Shown()[3].Focus, 1);
    TStringList names;
    TRegIniFile(kFrameworkKey).ReadSection("CHARTABLES", names);
    EXPECT_EQ(names.Count(), 4);
}

}  // namespace
}  // namespace kestrova
