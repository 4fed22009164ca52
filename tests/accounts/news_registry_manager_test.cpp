#include "accounts/news_registry_manager.h"

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

#include "common/errors.h"
#include "common/password_scramble.h"
#include "platform/clock.h"
#include "registry_manager_fixture.h"
#include "ui/account_dialog.h"

namespace kestrova {
namespace {

using testing::FakeHost;
using testing::RegistryPanelTest;

TAccountOptions SampleAccount() {
    TAccountOptions account;
    account.Url = {"news", "news.example.org", 119, "reader", "p@ss:word", "/comp.lang", ""};
    account.Description = "Example";
    account.FromName = "Reader";
    account.FromAddr = "reader@example.org";
    account.ReplyTo = "reply@example.org";
    account.Organization = "Example Org";
    account.CharTable = account.UseProxy = account.AskPassword = account.Secure = 1;
    account.TrustedCertificate = "AB:CD:EF";
    return account;
}

// Every field of an account, to compare two whole accounts.
auto Fields(const TAccountOptions& a) {
    const TUrlComponents& u = a.Url;
    return std::tie(u.Scheme, u.HostName, u.Port, u.UserName, u.Password, u.UrlPath, u.ExtraInfo,
                    a.Description, a.FromName, a.FromAddr, a.ReplyTo, a.Organization, a.CharTable,
                    a.UseProxy, a.AskPassword, a.Secure, a.TrustedCertificate);
}

class NewsAccountsTest : public RegistryPanelTest {
  protected:
    std::string Stored(const std::string& name, const char* ident) {
        return TRegIniFile(StoreKey()).ReadString(name, ident, "<missing>");
    }
    uint64_t StoredTime(const std::string& name, const char* ident) {
        return Ticks(TRegIniFile(StoreKey()).ReadTime(name, ident, FILETIME{}));
    }
    void SetStoredTime(const std::string& name, const char* ident, uint64_t ticks) {
        TRegIniFile(StoreKey()).WriteTime(name, ident, platform::U64ToFileTime(ticks));
    }
    TAccountOptions Read(TNewsRegistryManager& manager, const std::string& name) {
        TItemRecord item;
        EXPECT_TRUE(manager.ReadItem("", name, item));
        return item ? *item : TAccountOptions{};
    }
    const std::string folder = settings.store.Folder() + "/";
};

TEST_F(NewsAccountsTest, AccountRoundTripThroughTheStore) {
    auto manager = Open();
    const TAccountOptions account = SampleAccount();
    const uint64_t before = Ticks(platform::NowFileTime());
    ASSERT_TRUE(manager->WriteItem("", "", account));
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(Stored("Example", "Url"), "reader@news.example.org:119/comp.lang");
    EXPECT_EQ(Stored("Example", "Password"), ScramblePassword("p@ss:word"));
    EXPECT_EQ(Stored("Example", "Character table"), "windows-1251");
    EXPECT_EQ(Stored("Example", "Description"), "<missing>");
    EXPECT_EQ(Stored("Example", "Folder"), "<missing>");
    EXPECT_GE(StoredTime("Example", "Create time"), before);
    EXPECT_EQ(StoredTime("Example", "Create time"), StoredTime("Example", "Modify time"));
    EXPECT_EQ(Fields(Read(*manager, "Example")), Fields(account));
}

// Values a store lacks read as the default account's. What a store holds today keeps its meaning:
// 1 (and any value but 0 and 2, which every build took as secure) is TLS from the first byte, 2
// STARTTLS; an "nntps" address wins over 2.
TEST_F(NewsAccountsTest,
       MissingValuesReadAsTheDefaultAccountAndStoredSecureValuesKeepTheirMeaning) {
    Options.Default.FromName = "Default Name";
    Options.Default.CharTable = 2;
    const std::tuple<const char*, const char*, const char*, int> cases[] = {
        {"host", nullptr, "news", kPlainConnection},  // none stored
        {"host", "0", "news", kPlainConnection},
        {"host", "1", "news", kTlsFromFirstByte},
        {"host", "2", "news", kTlsByStartTls},
        {"host", "3", "news", kTlsFromFirstByte},
        {"host", "-1", "news", kTlsFromFirstByte},
        {"host", "", "news", kPlainConnection},
        {"nntps://host", "2", "nntps", kTlsFromFirstByte},
    };
    for (const auto& [url, stored, scheme, secure] : cases) {
        SCOPED_TRACE(std::string(url) + " " + (stored ? stored : "none"));
        TRegIniFile(StoreKey()).WriteString("bare", "Url", url);
        if (stored) TRegIniFile(StoreKey()).WriteString("bare", "Secure connection", stored);
        auto manager = Open();
        const TAccountOptions a = Read(*manager, "bare");
        EXPECT_EQ(std::tie(a.Url.Scheme, a.Url.HostName, a.Description, a.FromName, a.CharTable,
                           a.Secure),
                  std::make_tuple(scheme, "host", "bare", "Default Name", 2, secure));
    }
}

// Editing in place and renaming keep the creation time; whether to replace another account is
// asked (the panel scripts answer it), and a replaced account's old values go.
TEST_F(NewsAccountsTest, EditingKeepsTheCreationTimeAndReplacingWipesTheOldKey) {
    auto manager = Open();
    TAccountOptions account = SampleAccount();
    account.Description.clear();
    account.Url.ExtraInfo = "?x=1";
    const std::string name = "reader@news.example.org:119/comp.lang?x=1";  // named by its URL
    ASSERT_TRUE(manager->WriteItem("", "", account));
    SetStoredTime(name, "Create time", 100);
    SetStoredTime(name, "Modify time", 200);
    account.FromName = "Edited";
    ASSERT_TRUE(manager->UpdateItem(name, account));
    EXPECT_GT(StoredTime(name, "Modify time"), 200u);
    account.Description = "Renamed";
    ASSERT_TRUE(manager->UpdateItem(name, account));
    EXPECT_EQ(StoredTime("Renamed", "Create time"), 100u);
    EXPECT_EQ(Stored("Renamed", "FromName"), "Edited");
    EXPECT_EQ(Stored(name, "Url"), "<missing>");
    EXPECT_EQ(questions, 0);

    TRegIniFile(StoreKey()).WriteString("Renamed", "Stale", "old value");
    manager->OnNotify = nullptr;  // nobody to ask: no
    EXPECT_FALSE(manager->WriteItem("", "", account));
    EXPECT_EQ(Stored("Renamed", "Stale"), "old value");
    manager = Open();
    EXPECT_TRUE(manager->WriteItem("", "", account));
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(Stored("Renamed", "Stale"), "<missing>");
}

TEST_F(NewsAccountsTest, NothingIsWrittenWithoutAName) {
    auto manager = Open();
    TAccountOptions nameless;
    EXPECT_FALSE(manager->WriteItem("", "", nameless));
    EXPECT_FALSE(manager->UpdateItem("x", nameless));
    EXPECT_FALSE(manager->SaveToFile(folder, "none.acc", &nameless));
    EXPECT_FALSE(manager->SaveToFile(folder, "none.acc", nullptr));
    EXPECT_EQ(List(*manager).at(0).userData, kPlaceholderItem);
}

// What account files hold and how odd ones read shows in the registry scripts; here every field
// read back and what is not read.
TEST_F(NewsAccountsTest, AccountFiles) {
    auto manager = Open();
    const TAccountOptions account = SampleAccount();
    ASSERT_TRUE(manager->SaveToFile(folder, "example.acc", &account));
    TItemRecord item;
    ASSERT_TRUE(manager->LoadFromFile(folder, "example.acc", item));
    EXPECT_EQ(Fields(*item), Fields(account));

    std::ofstream(folder + "empty.acc") << "[Kestrova]\nDescription=nothing\n";
    item.reset();
    EXPECT_FALSE(manager->LoadFromFile(folder, "empty.acc", item));
    EXPECT_EQ(item, nullptr);
    EXPECT_THROW(manager->LoadFromFile(folder, "missing.acc", item), EFOpenError);
    // A port that is not a port is refused, not read as the default port.
    std::ofstream(folder + "port.acc") << "[Kestrova]\nUrl=news://u:pw@127.0.0.1:65536/\n";
    EXPECT_THROW(manager->LoadFromFile(folder, "port.acc", item), EInternetError);
    EXPECT_EQ(item, nullptr);
}

TEST_F(NewsAccountsTest, ItemUrlsOfAFolderAndOfAnAccountWithItsPassword) {
    auto manager = Open();
    manager->MakeDirectory("News");
    manager->SetDirectory("News");
    ASSERT_TRUE(manager->WriteItem("", "", SampleAccount()));
    SetPanel({{"Sub", 0, FILE_ATTRIBUTE_DIRECTORY}, {"Example"}});
    std::string folderUrl, accountUrl;
    manager->GetItemUrl(panelItems[0], false, folderUrl);
    manager->GetItemUrl(panelItems[1], true, accountUrl);
    EXPECT_EQ(folderUrl, "\\News\\Sub");
    EXPECT_EQ(accountUrl, "news://reader:p@ss:word@news.example.org:119/comp.lang");
}

// The store choice blanks the host's labels of the keys it swallows.
TEST_F(NewsAccountsTest, KeyBarOfTheStoreAndTheStoreChoice) {
    Options.ShowPrivateHosts = 1;
    host.texts[0] = "";  // the empty label
    auto manager = Open();
    EXPECT_EQ(manager->Store, kStoreChoice);  // nothing remembered yet
    manager->Store = kPluginStore;
    OpenPluginInfo info{};
    std::string shortcut;
    manager->FillPluginInfo(info, shortcut);
    EXPECT_EQ(KeyBarTitles.Titles[3], nullptr);
    manager->Store = kStoreChoice;
    manager->FillPluginInfo(info, shortcut);
    for (int f : {3, 4, 6, 7, 8}) EXPECT_STREQ(KeyBarTitles.Titles[f - 1], "") << f;
}

TEST_F(NewsAccountsTest, EditFlowSavesConnectsOrCancels) {
    enum { kAddress = 4, kSave = 23, kConnect = 24 };
    auto manager = Open();
    ASSERT_TRUE(manager->WriteItem("", "", SampleAccount()));
    SetPanel({{".."}, {"Example"}});
    int action = 0;
    TKeyContext context = KeyContext(1);
    EXPECT_FALSE(manager->ProcessKey(VK_RETURN, 0, context, action));
    EXPECT_EQ(action, kActionOpenItem);
    ASSERT_NE(context.Item, nullptr);
    EXPECT_EQ(context.Item->Url.Password, "p@ss:word");

    // Shift+F5 without a new description: the copy would replace the original, so it asks.
    answer = 0;
    host.dialogAnswers = {FakeHost::Close(kSave)};
    context = KeyContext(1);
    EXPECT_TRUE(manager->ProcessKey(VK_F5, PKF_SHIFT, context, action));
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(List(*manager).size(), 1u);

    // Connect: the unsaved record stays for the panel to open.
    host.dialogAnswers = {FakeHost::Close(kConnect, {{kAddress, "other.example.org"}})};
    context = KeyContext(1);
    EXPECT_FALSE(manager->ProcessKey(VK_F6, PKF_SHIFT, context, action));
    EXPECT_EQ(action, kActionOpenItem);
    ASSERT_NE(context.Item, nullptr);
    EXPECT_EQ(context.Item->Url.HostName, "other.example.org");
    EXPECT_EQ(Read(*manager, "Example").Url.HostName, "news.example.org");
    EXPECT_EQ(context.Flags, 0u);

    // Cancel: nothing changes, nothing is left.
    host.dialogAnswers = {FakeHost::Close(-1, {{kAddress, "cancelled.example.org"}})};
    context = KeyContext(1);
    EXPECT_TRUE(manager->ProcessKey(VK_F4, 0, context, action));
    EXPECT_EQ(context.Item, nullptr);
    EXPECT_EQ(context.Flags, 0u);
    EXPECT_EQ(Read(*manager, "Example").Url.HostName, "news.example.org");
}

}  // namespace
}  // namespace kestrova
