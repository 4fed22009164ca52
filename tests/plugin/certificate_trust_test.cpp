// Opening a stored secure account whose server shows a certificate that fails verification: the
// panel asks, with the reason and the fingerprint; trusting stores the fingerprint with the
// account and connects, and later connections accept that certificate without asking.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "accounts/news_registry_manager.h"
#include "net/certificate_check.h"
#include "news/fixture_server.h"
#include "news/test_certificate.h"
#include "panel_fixture.h"

namespace kestrova::testing {
namespace {

constexpr const char* kTrustTitle = "<155>";

class CertificateTrustTest : public PanelTest {
  protected:
    CertificateTrustTest() {
        Options.Connect.ServerTimeout = 5;
        server.AddGroup("alt.test");
        server.Start({"--tls-cert", certificate.Certificate(), "--tls-key", certificate.Key()});
        account.Url.Scheme = "news";
        account.Url.HostName = "127.0.0.1";
        account.Url.Port = server.Port();
        account.Description = "Secure";
        account.Secure = 1;
        EXPECT_TRUE(panel.RegistryManager->WriteItem("", "", account));
    }

    TAccountOptions Stored() {
        TItemRecord item;
        panel.RegistryManager->ReadItem("", "Secure", item);
        return item ? *item : TAccountOptions{};
    }
    // The trust questions asked so far.
    std::vector<FakeHost::MessageCall> Questions() const {
        std::vector<FakeHost::MessageCall> questions;
        for (const FakeHost::MessageCall& call : host.messages)
            if (call.items.at(0) == kTrustTitle) questions.push_back(call);
        return questions;
    }

    OtherCertificate certificate;
    FixtureNewsServer server;
    TNntpPlugin panel;
    TAccountOptions account;
};

TEST_F(CertificateTrustTest, DeclinedFailsTrustedIsStoredAndAcceptedFromThenOn) {
    host.messageAnswers = {1, 0};  // decline, then trust
    EXPECT_THROW(panel.OpenAccount(&account, true), ECertificateError);
    EXPECT_EQ(panel.Mode, PluginMode::Registry);
    EXPECT_EQ(Stored().TrustedCertificate, "");

    panel.OpenAccount(&account, true);
    EXPECT_EQ(panel.Mode, PluginMode::Internet);
    const auto questions = Questions();
    ASSERT_EQ(questions.size(), 2u);
    const std::string fingerprint = Stored().TrustedCertificate;
    ASSERT_EQ(fingerprint.size(), 95u);
    EXPECT_NE(questions[1].items.at(2).find("unknown issuer"), std::string::npos)
        << questions[1].items[2];
    EXPECT_EQ(questions[1].items.at(4) + ":" + questions[1].items.at(5), fingerprint);

    panel.CloseAccount();
    TAccountOptions again = Stored();
    panel.OpenAccount(&again, true);
    EXPECT_EQ(panel.Mode, PluginMode::Internet);
    EXPECT_EQ(Questions().size(), 2u);
}

}  // namespace
}  // namespace kestrova::testing
