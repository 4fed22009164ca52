// Opening a stored secure account whose server shows a certificate that fails verification: the
// panel asks, with the reason and the fingerprint; trusting stores the fingerprint with the
// account and connects, and later connections accept that certificate without asking.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "accounts/news_registry_manager.h"
#include "net/certificate_check.h"
#include "news/fixture_server.h"
#include "news/test_certificate.h"
#include "panel_fixture.h"

namespace kestrova::testing {
namespace {

TEST_F(PanelTest, ACertificateDeclinedFailsTrustedIsStoredAndAcceptedFromThenOn) {
    Options.Connect.ServerTimeout = 5;
    OtherCertificate certificate;
    FixtureNewsServer server;
    server.AddGroup("alt.test");
    server.Start({"--tls-cert", certificate.Certificate(), "--tls-key", certificate.Key()});
    TNntpPlugin panel;
    TAccountOptions account;
    account.Url = {"news", "127.0.0.1", server.Port(), "", "", "", ""};
    account.Description = "Secure";
    account.Secure = 1;
    ASSERT_TRUE(panel.RegistryManager->WriteItem("", "", account));
    const auto stored = [&] {
        TItemRecord item;
        panel.RegistryManager->ReadItem("", "Secure", item);
        return item ? *item : TAccountOptions{};
    };
    const auto questions = [&] {  // the trust questions asked so far, title <155>
        std::vector<std::vector<std::string>> asked;
        for (const FakeHost::MessageCall& call : host.messages)
            if (call.items.at(0) == "<155>") asked.push_back(call.items);
        return asked;
    };

    host.messageAnswers = {1, 0};  // decline, then trust
    EXPECT_THROW(panel.OpenAccount(&account, true), ECertificateError);
    EXPECT_EQ(panel.Mode, PluginMode::Registry);
    EXPECT_EQ(stored().TrustedCertificate, "");
    panel.OpenAccount(&account, true);
    EXPECT_EQ(panel.Mode, PluginMode::Internet);
    ASSERT_EQ(questions().size(), 2u);
    const std::vector<std::string> question = questions()[1];
    const std::string fingerprint = stored().TrustedCertificate;
    EXPECT_EQ(fingerprint.size(), 95u);
    EXPECT_EQ(question.at(4) + ":" + question.at(5), fingerprint);
    EXPECT_NE(question.at(2).find("unknown issuer"), std::string::npos) << question[2];

    // The stored fingerprint matches written in lower case or without its colons as well.
    std::string lower = fingerprint, bare;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char c : fingerprint)
        if (c != ':') bare += c;
    for (const std::string& trusted : {fingerprint, lower, bare}) {
        SCOPED_TRACE(trusted);
        panel.CloseAccount();
        TAccountOptions again = stored();
        again.TrustedCertificate = trusted;
        panel.OpenAccount(&again, false);
        EXPECT_EQ(panel.Mode, PluginMode::Internet);
        EXPECT_EQ(questions().size(), 2u);
    }

    // A certificate that changed since it was trusted is refused without a question, and the
    // fingerprint stored stays the one the user trusted.
    panel.CloseAccount();
    OtherCertificate changed;
    FixtureNewsServer replaced;
    replaced.AddGroup("alt.test");
    replaced.Start({"--tls-cert", changed.Certificate(), "--tls-key", changed.Key()});
    TAccountOptions moved = stored();
    moved.Url.Port = replaced.Port();
    EXPECT_THROW(panel.OpenAccount(&moved, false), ECertificateError);
    EXPECT_EQ(panel.Mode, PluginMode::Registry);
    EXPECT_EQ(questions().size(), 2u);
    EXPECT_EQ(stored().TrustedCertificate, fingerprint);
}

}  // namespace
}  // namespace kestrova::testing
