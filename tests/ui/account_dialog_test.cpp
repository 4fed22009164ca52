#include "ui/account_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "fake_host.h"
#include "ui/char_tables.h"
#include "ui/message_numbers.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

using testing::FakeHost;

enum : int {
    kAddress = 4,
    kPassword = 6,
    kUseProxy = 18,
    kChooseSlot = 20,
    kSave = 23,
    kConnect = 24,
    kSecure = 26,
    kStartTls = 27
};

// The dialog as shown and saved is checked by the registry script transcripts; here connecting,
// and the certificate trust.
class AccountDialogTest : public testing::HostTest {
  protected:
    AccountDialogTest() {
        Options = TPluginOptions{};
        CharsetSlots = kBuiltInCharsetSlots;
        account.Url = {"news", "news.example.org", 119, "reader", "secret", "", ""};
        account.CharTable = kNoSlot;
    }

    TAccountOptions account;
};

TEST_F(AccountDialogTest, ConnectTakesEveryField) {
    host.dialogAnswers = {
        FakeHost::Close(kChooseSlot),
        FakeHost::Close(kConnect,
                        {{kAddress, "other@news2.example.org:563/group"}, {kPassword, ""}},
                        {{kUseProxy, 1}})};
    host.menuAnswers = {3};  // windows-1251
    EXPECT_EQ(EditAccount(account), kAccountConnect);
    const TUrlComponents& url = account.Url;
    EXPECT_EQ(std::tie(url.HostName, url.Port, url.UserName, url.UrlPath, url.Password,
                       account.UseProxy, account.CharTable),
              std::make_tuple("news2.example.org", 563, "other", "/group", "", 1, 1));
}

TEST_F(AccountDialogTest, SecureBoxesAndTheTrustedCertificateFollowTheServer) {
    // shown: Secure before the dialog; the boxes as set; Secure after; whether the trust stays.
    for (auto [shown, address, secureBox, startTlsBox, secure, keepsTrust] : {
             std::tuple{kTlsFromFirstByte, "reader@news.example.org:119", 1, 0, kTlsFromFirstByte,
                        true},
             {kTlsFromFirstByte, "reader@news.example.org:563", 1, 0, kTlsFromFirstByte, false},
             {kTlsFromFirstByte, "nntps://news2.example.org", 0, 0, kTlsFromFirstByte, false},
             {kTlsFromFirstByte, "reader@news.example.org:119", 0, 0, kPlainConnection, true},
             {kTlsFromFirstByte, "reader@news.example.org:119", 1, 1, kTlsByStartTls, true},
             {kTlsByStartTls, "reader@news.example.org:119", 0, 1, kTlsByStartTls, true},
             {kTlsByStartTls, "nntps://news.example.org:119", 1, 1, kTlsFromFirstByte, true},
             {kTlsByStartTls, "reader@news.example.org:119", 1, 0, kTlsFromFirstByte, true},
         }) {
        SCOPED_TRACE(std::to_string(shown) + " " + address);
        TAccountOptions edited = account;
        edited.Secure = shown;
        edited.TrustedCertificate = "AB:CD";
        host.dialogAnswers = {FakeHost::Close(kSave, {{kAddress, address}},
                                              {{kSecure, secureBox}, {kStartTls, startTlsBox}})};
        EXPECT_EQ(EditAccount(edited), kAccountSave);
        EXPECT_EQ(host.dialogs.back().items[kSecure].Selected, 1);
        EXPECT_EQ(host.dialogs.back().items[kStartTls].Selected, shown == kTlsByStartTls);
        EXPECT_EQ(edited.Secure, secure);
        EXPECT_EQ(edited.TrustedCertificate, keepsTrust ? "AB:CD" : "");
    }
}

// A port that is not a port is refused with a message naming it, and the dialog comes back with
// the address as typed; nothing is saved until the port is one.
TEST_F(AccountDialogTest, APortThatIsNotAPortIsRefusedAndAskedAgain) {
    host.texts[kMsgBadPort] = "The port %s is not a number from 1 to 65535";
    host.messageAnswers = {0};
    host.dialogAnswers = {FakeHost::Close(kSave, {{kAddress, "reader@news.example.org:65536"}}),
                          FakeHost::Close(kSave, {{kAddress, "reader@news.example.org:1119"}})};
    EXPECT_EQ(EditAccount(account), kAccountSave);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].items.at(1), "The port 65536 is not a number from 1 to 65535");
    ASSERT_EQ(host.dialogs.size(), 2u);
    EXPECT_STREQ(host.dialogs[1].items[kAddress].Data, "reader@news.example.org:65536");
    EXPECT_EQ(account.Url.Port, 1119);
}

}  // namespace
}  // namespace kestrova
