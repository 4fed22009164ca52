#include "accounts/news_registry_manager.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/errors.h"
#include "common/password_scramble.h"
#include "platform/clock.h"
#include "registry_manager_fixture.h"
#include "ui/account_dialog.h"

namespace kestrova {
namespace {

using testing::FakeHost;
using testing::RegistryPanelTest;

uint64_t Ticks(const FILETIME& time) {
    return platform::FileTimeToU64(time);
}

TAccountOptions SampleAccount() {
    TAccountOptions account;
    account.Url.Scheme = "news";
    account.Url.HostName = "news.example.org";
    account.Url.Port = 119;
    account.Url.UserName = "reader";
    account.Url.Password = "p@ss:word";
    account.Url.UrlPath = "/comp.lang";
    account.Description = "Example";
    account.FromName = "Reader";
    account.FromAddr = "reader@example.org";
    account.ReplyTo = "reply@example.org";
    account.Organization = "Example Org";
    account.CharTable = 1;
    account.UseProxy = 1;
    account.AskPassword = 1;
    account.Secure = 1;
    account.TrustedCertificate = "AB:CD:EF";
    return account;
}

void ExpectSameAccount(const TAccountOptions& a, const TAccountOptions& b) {
    EXPECT_EQ(a.Url.Scheme, b.Url.Scheme);
    EXPECT_EQ(a.Url.HostName, b.Url.HostName);
    EXPECT_EQ(a.Url.Port, b.Url.Port);
    EXPECT_EQ(a.Url.UserName, b.Url.UserName);
    EXPECT_EQ(a.Url.Password, b.Url.Password);
    EXPECT_EQ(a.Url.UrlPath, b.Url.UrlPath);
    EXPECT_EQ(a.Url.ExtraInfo, b.Url.ExtraInfo);
    EXPECT_EQ(a.Description, b.Description);
    EXPECT_EQ(a.FromName, b.FromName);
    EXPECT_EQ(a.FromAddr, b.FromAddr);
    EXPECT_EQ(a.ReplyTo, b.ReplyTo);
    EXPECT_EQ(a.Organization, b.Organization);
    EXPECT_EQ(a.CharTable, b.CharTable);
    EXPECT_EQ(a.UseProxy, b.UseProxy);
    EXPECT_EQ(a.AskPassword, b.AskPassword);
    EXPECT_EQ(a.Secure, b.Secure);
    EXPECT_EQ(a.TrustedCertificate, b.TrustedCertificate);
}

std::string FileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
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
    // A key context with ".." and the current folder's items, the cursor on name.
    TKeyContext ContextOn(TNewsRegistryManager& manager, const std::string& name) {
        listing_.clear();
        PluginPanelItem dots{};
        std::strcpy(dots.FindData.cFileName, "..");
        listing_.push_back(dots);
        PluginPanelItem* items = nullptr;
        int count = 0;
        manager.ListItems(items, count);
        TKeyContext context;
        for (int i = 0; i < count; ++i) {
            PluginPanelItem copy = items[i];
            copy.Description = nullptr;
            if (name == copy.FindData.cFileName) context.Info.CurrentItem = i + 1;
            listing_.push_back(copy);
        }
        FreePanelItems(items, count);
        context.Info.PanelItems = listing_.data();
        context.Info.ItemsNumber = static_cast<int>(listing_.size());
        return context;
    }

    const std::string folder = settings.store.Folder() + "/";

  private:
    std::vector<PluginPanelItem> listing_;
};

TEST_F(NewsAccountsTest, AccountRoundTripThroughTheStore) {
    auto manager = Open();
    const TAccountOptions account = SampleAccount();
    const uint64_t before = Ticks(platform::NowFileTime());
    ASSERT_TRUE(manager->WriteItem("", "", account));
    EXPECT_TRUE(questions.empty());

    EXPECT_EQ(Stored("Example", "Url"), "reader@news.example.org:119/comp.lang");
    EXPECT_EQ(Stored("Example", "Password"), ScramblePassword("p@ss:word"));
    EXPECT_EQ(Stored("Example", "Character table"), "windows-1251");
    EXPECT_EQ(Stored("Example", "Use proxy"), "1");
    EXPECT_EQ(Stored("Example", "Description"), "<missing>");
    EXPECT_EQ(Stored("Example", "Folder"), "<missing>");
    EXPECT_GE(StoredTime("Example", "Create time"), before);
    EXPECT_EQ(StoredTime("Example", "Create time"), StoredTime("Example", "Modify time"));
    ExpectSameAccount(Read(*manager, "Example"), account);

    const auto listed = List(*manager);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, "Example");
    EXPECT_EQ(listed[0].attributes, FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(listed[0].description, "reader@news.example.org:119/comp.lang");
}

TEST_F(NewsAccountsTest, MissingValuesReadAsTheDefaultAccount) {
    Options.Default.FromName = "Default Name";
    Options.Default.CharTable = 2;
    Options.Default.AskPassword = 1;
    TRegIniFile(StoreKey()).WriteString("bare", "Url", "host");
    auto manager = Open();
    const TAccountOptions account = Read(*manager, "bare");
    EXPECT_EQ(account.Url.Scheme, "news");
    EXPECT_EQ(account.Url.HostName, "host");
    EXPECT_EQ(account.Description, "bare");
    EXPECT_EQ(account.FromName, "Default Name");
    EXPECT_EQ(account.CharTable, 2);
    EXPECT_EQ(account.AskPassword, 1);

    const TAccountOptions missing = Read(*manager, "missing");
    EXPECT_EQ(missing.Url.Scheme, "news");
    EXPECT_EQ(missing.Url.HostName, "");
}

TEST_F(NewsAccountsTest, AnAccountWithoutDescriptionIsStoredUnderItsUrl) {
    auto manager = Open();
    TAccountOptions account = SampleAccount();
    account.Description.clear();
    account.Url.ExtraInfo = "?x=1";
    ASSERT_TRUE(manager->WriteItem("", "", account));
    const std::string name = "reader@news.example.org:119/comp.lang?x=1";
    EXPECT_EQ(Read(*manager, name).Description, name);

    // Editing it in place keeps its creation time on that same key.
    SetStoredTime(name, "Create time", 5);
    TAccountOptions edited = account;
    edited.FromName = "Edited";
    ASSERT_TRUE(manager->UpdateItem(name, edited));
    EXPECT_EQ(StoredTime(name, "Create time"), 5u);
    EXPECT_EQ(Stored(name, "FromName"), "Edited");
    EXPECT_EQ(List(*manager).size(), 1u);
}

TEST_F(NewsAccountsTest, EditingInPlaceKeepsTheCreationTimeAndRenewsTheModification) {
    auto manager = Open();
    ASSERT_TRUE(manager->WriteItem("", "", SampleAccount()));
    SetStoredTime("Example", "Create time", 100);
    SetStoredTime("Example", "Modify time", 200);
    TAccountOptions edited = SampleAccount();
    edited.Organization = "Changed";
    ASSERT_TRUE(manager->UpdateItem("Example", edited));
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(StoredTime("Example", "Create time"), 100u);
    EXPECT_GT(StoredTime("Example", "Modify time"), 200u);
    EXPECT_EQ(Stored("Example", "Organization"), "Changed");
}

TEST_F(NewsAccountsTest, RenamingMovesTheAccountWithItsCreationTime) {
    auto manager = Open();
    ASSERT_TRUE(manager->WriteItem("", "", SampleAccount()));
    SetStoredTime("Example", "Create time", 100);
    for (const char* newName : {"Renamed", "RENAMED"}) {
        SCOPED_TRACE(newName);
        const std::string oldName = List(*manager).at(0).name;
        TAccountOptions renamed = SampleAccount();
        renamed.Description = newName;
        ASSERT_TRUE(manager->UpdateItem(oldName, renamed));
        const auto listed = List(*manager);
        ASSERT_EQ(listed.size(), 1u);
        EXPECT_EQ(listed[0].name, newName);
        EXPECT_EQ(Ticks(listed[0].created), 100u);
    }
    EXPECT_TRUE(questions.empty());
}

TEST_F(NewsAccountsTest, ReplacingAnotherAccountAsksFirst) {
    auto manager = Open();
    TRegIniFile(StoreKey()).WriteString("Example", "Stale", "old value");
    TAccountOptions account = SampleAccount();

    answer = 0;
    EXPECT_FALSE(manager->WriteItem("", "", account));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].kind, 3);
    EXPECT_EQ(questions[0].text, "Example");
    EXPECT_EQ(questions[0].message, "<0>");
    EXPECT_EQ(Stored("Example", "Stale"), "old value");
    EXPECT_EQ(Stored("Example", "Url"), "<missing>");

    manager->OnNotify = nullptr;
    EXPECT_FALSE(manager->WriteItem("", "", account));
    EXPECT_EQ(Stored("Example", "Stale"), "old value");

    manager = Open();
    answer = 1;
    EXPECT_TRUE(manager->WriteItem("", "", account));
    EXPECT_EQ(Stored("Example", "Stale"), "<missing>");
    EXPECT_EQ(Stored("Example", "Url"), "reader@news.example.org:119/comp.lang");

    // Renaming onto another account asks too; declining keeps both.
    TAccountOptions other = SampleAccount();
    other.Description = "Other";
    ASSERT_TRUE(manager->WriteItem("", "", other));
    answer = 0;
    questions.clear();
    EXPECT_TRUE(manager->UpdateItem("Other", account));
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(List(*manager).size(), 2u);
}

TEST_F(NewsAccountsTest, NothingIsWrittenWithoutAName) {
    auto manager = Open();
    TAccountOptions nameless;
    EXPECT_FALSE(manager->WriteItem("", "", nameless));
    EXPECT_FALSE(manager->UpdateItem("x", nameless));
    EXPECT_EQ(List(*manager).at(0).userData, kPlaceholderItem);
}

TEST_F(NewsAccountsTest, AccountFileRoundTrip) {
    auto manager = Open();
    const TAccountOptions account = SampleAccount();
    ASSERT_TRUE(manager->SaveToFile(folder, "example.acc", &account));
    const std::string text = FileText(folder + "example.acc");
    EXPECT_EQ(text.rfind("[Kestrova]\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("Url=news://reader@news.example.org:119/comp.lang\r\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Password=" + ScramblePassword("p@ss:word") + "\r\n"), std::string::npos);
    EXPECT_EQ(text.find("p@ss:word"), std::string::npos);
    EXPECT_LT(text.find("Password="), text.find("Description="));
    EXPECT_LT(text.find("Description="), text.find("FromAddr="));

    TItemRecord loaded;
    ASSERT_TRUE(manager->LoadFromFile(folder, "example.acc", loaded));
    ExpectSameAccount(*loaded, account);
}

TEST_F(NewsAccountsTest, AccountFilesWithoutSchemeOrUrl) {
    Options.Default.CharTable = 2;
    std::ofstream(folder + "plain.acc") << "[Kestrova]\nUrl=host:563\nCharacter table= \t\n";
    std::ofstream(folder + "empty.acc") << "[Kestrova]\nDescription=nothing\n";
    std::ofstream(folder + "tls.acc") << "[Kestrova]\nUrl=nntps://host\n";
    auto manager = Open();
    TItemRecord item;
    ASSERT_TRUE(manager->LoadFromFile(folder, "plain.acc", item));
    EXPECT_EQ(item->Url.Scheme, "news");
    EXPECT_EQ(item->Url.Port, 563);
    EXPECT_EQ(item->CharTable, 2);
    EXPECT_EQ(item->Secure, 0);
    item.reset();
    ASSERT_TRUE(manager->LoadFromFile(folder, "tls.acc", item));
    EXPECT_EQ(item->Secure, 1);
    item.reset();
    EXPECT_FALSE(manager->LoadFromFile(folder, "empty.acc", item));
    EXPECT_EQ(item, nullptr);
    EXPECT_THROW(manager->LoadFromFile(folder, "missing.acc", item), EFOpenError);
    const TAccountOptions nameless;
    EXPECT_FALSE(manager->SaveToFile(folder, "none.acc", &nameless));
    EXPECT_FALSE(manager->SaveToFile(folder, "none.acc", nullptr));
}

TEST_F(NewsAccountsTest, CopyingOutAndBackRecreatesTheAccount) {
    host.texts[25] = "File '%s' holds no news account";
    auto manager = Open();
    manager->MakeDirectory("From");
    ASSERT_TRUE(manager->WriteItem("From", "", SampleAccount()));
    std::ofstream(folder + "out.acc") << "stale content that is replaced";
    manager->GetFile("From", "Example", folder, "out.acc");
    EXPECT_EQ(FileText(folder + "out.acc").rfind("[Kestrova]", 0), 0u);

    manager->MakeDirectory("To");
    manager->PutFile(folder, "out.acc", "To");
    manager->SetDirectory("To");
    ExpectSameAccount(Read(*manager, "Example"), SampleAccount());

    std::ofstream(folder + "junk.txt") << "no account here\n";
    try {
        manager->PutFile(folder, "junk.txt", "");
        FAIL() << "no error";
    } catch (const ERegistryError& e) {
        EXPECT_EQ(e.Message, "File '" + folder + "junk.txt' holds no news account");
        EXPECT_EQ(e.ProcName, "PutFile");
    }
}

TEST_F(NewsAccountsTest, ItemUrlsOfFoldersAndAccounts) {
    auto manager = Open();
    manager->MakeDirectory("News");
    PluginPanelItem folderItem{};
    std::strcpy(folderItem.FindData.cFileName, "News");
    folderItem.FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    std::string text;
    manager->GetItemUrl(folderItem, false, text);
    EXPECT_EQ(text, "\\News");
    manager->SetDirectory("News");
    std::strcpy(folderItem.FindData.cFileName, "Sub");
    manager->GetItemUrl(folderItem, false, text);
    EXPECT_EQ(text, "\\News\\Sub");

    ASSERT_TRUE(manager->WriteItem("", "", SampleAccount()));
    PluginPanelItem accountItem{};
    std::strcpy(accountItem.FindData.cFileName, "Example");
    manager->GetItemUrl(accountItem, false, text);
    EXPECT_EQ(text, "news://reader@news.example.org:119/comp.lang");
    manager->GetItemUrl(accountItem, true, text);
    EXPECT_EQ(text, "news://reader:p@ss:word@news.example.org:119/comp.lang");
}

TEST_F(NewsAccountsTest, ShortcutData) {
    auto manager = Open();
    std::string text;
    manager->BuildShortcut(text);
    EXPECT_EQ(text, "009000  0  0\\");
    manager->SetPath("\\News");
    manager->Store = kPrivateStore;
    manager->BuildShortcut(text);
    EXPECT_EQ(text, "009010  0  0\\News");
    manager->GetTitle(text);
    EXPECT_EQ(text, "*Kestrova");
}

TEST_F(NewsAccountsTest, PluginInfoOfTheStoreAndTheStoreChoice) {
    Options.ShowPrivateHosts = 1;
    host.texts[0] = "";
    auto manager = Open();
    EXPECT_EQ(manager->Store, kStoreChoice);  // nothing remembered yet
    manager->Store = kPluginStore;
    OpenPluginInfo info{};
    std::string shortcut;
    manager->FillPluginInfo(info, shortcut);
    EXPECT_EQ(info.Flags, OPIF_USEATTRHIGHLIGHTING);
    EXPECT_EQ(shortcut, "009000  0  0\\");
    EXPECT_STREQ(KeyBarTitles.ShiftTitles[3], "<48>");
    EXPECT_STREQ(KeyBarTitles.ShiftTitles[4], "<49>");
    EXPECT_STREQ(KeyBarTitles.AltTitles[2], "");
    EXPECT_STREQ(KeyBarTitles.ShiftTitles[6], "");
    EXPECT_EQ(KeyBarTitles.Titles[3], nullptr);
    ASSERT_EQ(info.PanelModesNumber, 1);
    EXPECT_STREQ(info.PanelModesArray[0].ColumnTypes, "N");
    EXPECT_STREQ(info.PanelModesArray[0].StatusColumnTypes, "Z");
    EXPECT_EQ(info.InfoLinesNumber, 12);  // the product lines

    manager->Store = kStoreChoice;
    manager->FillPluginInfo(info, shortcut);
    for (int f : {3, 4, 6, 7, 8}) EXPECT_STREQ(KeyBarTitles.Titles[f - 1], "") << f;
    EXPECT_STREQ(KeyBarTitles.AltTitles[7], "");
    EXPECT_STREQ(KeyBarTitles.ShiftTitles[3], "");
    EXPECT_STREQ(KeyBarTitles.ShiftTitles[7], "");
}

TEST_F(NewsAccountsTest, EnterLeavesTheAccountForThePanel) {
    auto manager = Open();
    ASSERT_TRUE(manager->WriteItem("", "", SampleAccount()));
    TKeyContext context = ContextOn(*manager, "Example");
    int action = 0;
    EXPECT_FALSE(manager->ProcessKey(VK_RETURN, 0, context, action));
    EXPECT_EQ(action, kActionOpenItem);
    ASSERT_NE(context.Item, nullptr);
    EXPECT_EQ(context.Item->Url.Password, "p@ss:word");
    EXPECT_TRUE(host.dialogs.empty());
}

TEST_F(NewsAccountsTest, EditFlowSavesConnectsOrCancels) {
    enum { kDescription = 2, kAddress = 4, kFromName = 9, kSave = 23, kConnect = 24 };
    auto manager = Open();
    ASSERT_TRUE(manager->WriteItem("", "", SampleAccount()));
    SetStoredTime("Example", "Create time", 100);

    // F4, save: edited in place.
    host.dialogAnswers = {FakeHost::Close(kSave, {{kFromName, "Edited"}})};
    TKeyContext context = ContextOn(*manager, "Example");
    int action = 0;
    EXPECT_TRUE(manager->ProcessKey(VK_F4, 0, context, action));
    EXPECT_EQ(action, kActionEditItem);
    EXPECT_EQ(context.Flags, kKeyRedrawPanel | kKeyUpdatePanel);
    EXPECT_EQ(context.Item, nullptr);
    EXPECT_EQ(Stored("Example", "FromName"), "Edited");
    EXPECT_EQ(StoredTime("Example", "Create time"), 100u);
    EXPECT_STREQ(host.dialogs.back().items[kDescription].Data, "Example");
    EXPECT_STREQ(host.dialogs.back().items[kAddress].Data, "reader@news.example.org:119/comp.lang");

    // Shift+F5 without a new description: the copy would replace the original, so it asks.
    answer = 0;
    host.dialogAnswers = {FakeHost::Close(kSave)};
    context = ContextOn(*manager, "Example");
    EXPECT_TRUE(manager->ProcessKey(VK_F5, PKF_SHIFT, context, action));
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(List(*manager).size(), 1u);
    // ... and with one it makes a second account.
    host.dialogAnswers = {FakeHost::Close(kSave, {{kDescription, "Copy"}})};
    context = ContextOn(*manager, "Example");
    EXPECT_TRUE(manager->ProcessKey(VK_F5, PKF_SHIFT, context, action));
    EXPECT_EQ(Stored("Copy", "FromName"), "Edited");

    // Shift+F4 on the placeholder of an empty folder: a new account from the defaults.
    Options.Default.Organization = "Default Org";
    manager->MakeDirectory("Empty");
    manager->SetDirectory("Empty");
    host.dialogAnswers = {
        FakeHost::Close(kSave, {{kDescription, "Fresh"}, {kAddress, "fresh.example.org"}})};
    context = ContextOn(*manager, "<26>");
    EXPECT_TRUE(manager->ProcessKey(VK_F4, 0, context, action));
    EXPECT_EQ(action, kActionNewItem);
    EXPECT_EQ(Read(*manager, "Fresh").Organization, "Default Org");

    // Connect: the unsaved record stays for the panel to open.
    host.dialogAnswers = {FakeHost::Close(kConnect, {{kAddress, "other.example.org"}})};
    context = ContextOn(*manager, "Fresh");
    EXPECT_FALSE(manager->ProcessKey(VK_F6, PKF_SHIFT, context, action));
    EXPECT_EQ(action, kActionOpenItem);
    ASSERT_NE(context.Item, nullptr);
    EXPECT_EQ(context.Item->Url.HostName, "other.example.org");
    EXPECT_EQ(Read(*manager, "Fresh").Url.HostName, "fresh.example.org");
    EXPECT_EQ(context.Flags, 0u);

    // Cancel: nothing changes, nothing is left.
    host.dialogAnswers = {FakeHost::Close(-1, {{kAddress, "cancelled.example.org"}})};
    context = ContextOn(*manager, "Fresh");
    EXPECT_TRUE(manager->ProcessKey(VK_F4, 0, context, action));
    EXPECT_EQ(context.Item, nullptr);
    EXPECT_EQ(context.Flags, 0u);
    EXPECT_EQ(Read(*manager, "Fresh").Url.HostName, "fresh.example.org");
}

}  // namespace
}  // namespace kestrova
