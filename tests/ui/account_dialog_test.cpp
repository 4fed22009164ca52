#include "ui/account_dialog.h"

#include <gtest/gtest.h>

#include "fake_host.h"
#include "ui/char_tables.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

using testing::FakeHost;

enum : int {
    kDescription = 2,
    kAddress = 4,
    kPassword = 6,
    kFromName = 9,
    kOrganization = 15,
    kAskPassword = 17,
    kUseProxy = 18,
    kChooseSlot = 20,
    kSlotName = 21,
    kSave = 23,
    kConnect = 24,
    kCancel = 25,
    kSecure = 26,
};

class AccountDialogTest : public testing::HostTest {
  protected:
    AccountDialogTest() {
        Options = TPluginOptions{};
        CharsetSlots = kBuiltInCharsetSlots;
        account.Url.Scheme = "news";
        account.Url.HostName = "news.example.org";
        account.Url.Port = 119;
        account.Url.UserName = "reader";
        account.Url.Password = "secret";
        account.Description = "Example";
        account.FromName = "Reader";
        account.CharTable = kNoSlot;
    }

    TAccountOptions account;
};

TEST_F(AccountDialogTest, ShowsTheAddressWithoutSchemeOrPasswordAndThePasswordApart) {
    host.dialogAnswers = {FakeHost::Close(kCancel)};
    EXPECT_EQ(EditAccount(account), kAccountCancel);
    EXPECT_STREQ(host.dialogs.at(0).items[kAddress].Data, "reader@news.example.org:119");
    EXPECT_STREQ(host.dialogs.at(0).items[kPassword].Data, "secret");
}

TEST_F(AccountDialogTest, ConnectIsTheDefaultButtonWhenConnectingIsTheDefault) {
    Options.ConnectAsDefault = 1;
    host.dialogAnswers = {FakeHost::Close(-1)};
    EditAccount(account);
    EXPECT_EQ(host.dialogs.at(0).items[kConnect].DefaultButton, 1);
    EXPECT_EQ(host.dialogs.at(0).items[kSave].DefaultButton, 0);
}

TEST_F(AccountDialogTest, SaveAndConnectTakeEveryField) {
    for (int button : {kSave, kConnect}) {
        SCOPED_TRACE(button);
        TAccountOptions edited = account;
        host.dialogAnswers = {FakeHost::Close(kChooseSlot),
                              FakeHost::Close(button,
                                              {{kDescription, "Renamed"},
                                               {kAddress, "other@news2.example.org:563/group"},
                                               {kPassword, ""},
                                               {kOrganization, "Org"}},
                                              {{kAskPassword, 1}, {kUseProxy, 1}})};
        host.menuAnswers = {3};  // windows-1251
        EXPECT_EQ(EditAccount(edited), button == kSave ? kAccountSave : kAccountConnect);
        EXPECT_EQ(edited.Description, "Renamed");
        EXPECT_EQ(edited.Url.HostName, "news2.example.org");
        EXPECT_EQ(edited.Url.Port, 563);
        EXPECT_EQ(edited.Url.UserName, "other");
        EXPECT_EQ(edited.Url.UrlPath, "/group");
        EXPECT_EQ(edited.Url.Password, "");  // an empty field adds no password
        EXPECT_EQ(edited.Organization, "Org");
        EXPECT_EQ(edited.AskPassword, 1);
        EXPECT_EQ(edited.UseProxy, 1);
        EXPECT_EQ(edited.CharTable, 1);
        EXPECT_STREQ(host.dialogs.back().items[kSlotName].Data, "windows-1251");
    }
}

TEST_F(AccountDialogTest, SecureBoxAndTheTrustedCertificateFollowTheServer) {
    struct Case {
        const char* address;
        int box;
        int secure;
        bool keepsTrust;
    };
    const Case cases[] = {
        {"reader@news.example.org:119", 1, 1, true},   // same server: the trust stays
        {"reader@news.example.org:563", 1, 1, false},  // another port: forgotten
        {"nntps://news2.example.org", 0, 1, false},    // the scheme makes it secure
        {"reader@news.example.org:119", 0, 0, true},
    };
    for (const Case& c : cases) {
        TAccountOptions edited = account;
        edited.Secure = 1;
        edited.TrustedCertificate = "AB:CD";
        host.dialogAnswers = {FakeHost::Close(kSave, {{kAddress, c.address}}, {{kSecure, c.box}})};
        EditAccount(edited);
        EXPECT_EQ(host.dialogs.back().items[kSecure].Selected, 1) << c.address;
        EXPECT_EQ(edited.Secure, c.secure) << c.address;
        EXPECT_EQ(edited.TrustedCertificate, c.keepsTrust ? "AB:CD" : "") << c.address;
    }
}

TEST_F(AccountDialogTest, CancelAfterChoosingATableLeavesTheAccountUnchanged) {
    host.dialogAnswers = {FakeHost::Close(kChooseSlot),
                          FakeHost::Close(-1, {{kDescription, "Changed"}})};
    host.menuAnswers = {2};
    TAccountOptions edited = account;
    EXPECT_EQ(EditAccount(edited), kAccountCancel);
    EXPECT_EQ(edited.Description, "Example");
    EXPECT_EQ(edited.CharTable, kNoSlot);
    EXPECT_EQ(edited.Url.Password, "secret");
}

}  // namespace
}  // namespace kestrova
