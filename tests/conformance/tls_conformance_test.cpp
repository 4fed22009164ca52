// Implicit TLS against the loopback news server's TLS port (certificate from the test CA that
// tools/peers/inn2.sh makes), directly and through SOCKS 5, by name, IPv4 and IPv6 address: the
// refusal of an unknown issuer and of another certificate than the trusted one, the trust by
// fingerprint, a plain server; against the fixture server, a certificate for another name.
// STARTTLS on the plain ports, through a relay that keeps the wire (wire_relay.py): only the
// probe and STARTTLS itself travel in clear, the login and the reading inside TLS.
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <cstdio>
#include <string>

#include "conformance/inn2_session.h"
#include "net/certificate_check.h"
#include "net/tls_session.h"
#include "news/fixture_server.h"
#include "news/test_certificate.h"

namespace kestrova::testing {
namespace {

const uint16_t kTlsPort = PeerPort("INN_TLS_PORT", 1563);

std::string PeerTlsFile(const char* name) {
    return PeerEnv("PEER_STATE_DIR", "/var/tmp/test-peers") + "/inn2/tls/" + name;
}

// The SHA-256 fingerprint of the PEM certificate in path; empty when it cannot be read.
std::string CertificateFingerprint(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) return {};
    X509* certificate = PEM_read_X509(file, nullptr, nullptr, nullptr);
    std::fclose(file);
    if (certificate == nullptr) return {};
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    X509_digest(certificate, EVP_sha256(), digest, &length);
    X509_free(certificate);
    return FingerprintText(digest, length);
}

TAccountOptions SecureAccount(const std::string& host, uint16_t port,
                              const std::string& trusted = "") {
    TAccountOptions account;
    account.Url = {"nntps", host, port, "", "", "", ""};
    account.TrustedCertificate = trusted;
    return account;
}

class TlsSession : public Inn2Session {
  protected:
    void SetUp() override {
        Inn2Session::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        SKIP_UNLESS_LISTENING(kTlsPort, "the news server (TLS)", kInnScript, "INN_TLS_PORT");
    }

    // Connects account and expects the failure code (0: success, then GROUP must work).
    ECertificateError ConnectExpecting(const TAccountOptions& account, uint32_t code) {
        try {
            ConnectAccount(account);
            EXPECT_EQ(code, 0u) << account.Url.HostName << ": connected";
            const TNntpStatus group = Send("GROUP", kTestGroup);
            EXPECT_EQ(group.Code, 211) << group.Line;
        } catch (const ECertificateError& error) {
            EXPECT_EQ(error.Code, code) << account.Url.HostName << ": " << error.Message;
            EXPECT_FALSE(manager->IsConnected());
            return error;
        }
        return ECertificateError(0, "", "", "", "");
    }

    ScopedEnvironment environment;
};

TEST_P(TlsSession, VerifiedByTheTrustedCaAtEveryAddressForm) {
    environment.Set(kExtraCaFileVariable, PeerTlsFile("ca.pem").c_str());
    for (const char* host : {"localhost", "127.0.0.1", "::1"})
        ConnectExpecting(SecureAccount(host, kTlsPort), 0);
    EXPECT_NE(SessionLog().find("TLS with certificate SHA-256 " +
                                CertificateFingerprint(PeerTlsFile("server.pem"))),
              std::string::npos);
}

TEST_P(TlsSession, UnknownIssuerOrAnotherCertificateIsRefusedUntilItsFingerprintIsTrusted) {
    environment.Set(kExtraCaFileVariable, nullptr);
    const std::string fingerprint = CertificateFingerprint(PeerTlsFile("server.pem"));
    ASSERT_FALSE(fingerprint.empty());
    const ECertificateError refused =
        ConnectExpecting(SecureAccount("localhost", kTlsPort), kRefused + kCertificateUntrusted);
    EXPECT_NE(refused.Message.find("unknown issuer"), std::string::npos) << refused.Message;
    EXPECT_EQ(refused.ProcName, "StartTls");
    EXPECT_EQ(refused.Fingerprint, fingerprint);

    std::string other = fingerprint;
    other[0] = other[0] == '0' ? '1' : '0';
    const ECertificateError changed = ConnectExpecting(SecureAccount("localhost", kTlsPort, other),
                                                       kRefused + kCertificateChanged);
    EXPECT_NE(changed.Message.find(fingerprint), std::string::npos) << changed.Message;

    ConnectExpecting(SecureAccount("localhost", kTlsPort, fingerprint), 0);
}

TEST_P(TlsSession, PlainServerFailsTheHandshakeInsteadOfHanging) {
    try {
        ConnectAccount(SecureAccount("127.0.0.1", kReaderPort));
        ADD_FAILURE() << "a TLS session with a plain server";
    } catch (const ESocketError& error) {
        EXPECT_EQ(error.Code, kRefused + kTlsFailed) << error.Message;
    }
}

INSTANTIATE_TEST_SUITE_P(Routes, TlsSession,
                         ::testing::Values(Route{"Direct", 0}, Route{"DanteSocks5", 5}), RouteName);

const uint16_t kTransitPort = PeerPort("INN_TRANSIT_PORT", 119);

using StartTlsSession = Inn2Session;

// The open reader, the one that wants a login and the transit server (STARTTLS listed only after
// MODE READER): the group and an article are read, and the wire holds in clear nothing but what
// comes before the handshake; everything after it is TLS records.
TEST_P(StartTlsSession, ReadsAndLogsInOnlyInsideTls) {
    ScopedEnvironment environment;
    environment.Set(kExtraCaFileVariable, PeerTlsFile("ca.pem").c_str());
    const std::string runId = SharedSamples();
    const struct {
        uint16_t port;
        std::string user;
        std::string clear;  // what the client sends in clear, as a Python literal
    } cases[] = {
        {kReaderPort, "", R"('CAPABILITIES\r\nSTARTTLS\r\n')"},
        {kLoginPort, PeerEnv("INN_TEST_USER", "tester"), R"('CAPABILITIES\r\nSTARTTLS\r\n')"},
        {kTransitPort, "", R"('CAPABILITIES\r\nMODE READER\r\nCAPABILITIES\r\nSTARTTLS\r\n')"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        const WireRelay relay(c.port);
        TAccountOptions account;
        account.Url = {"news", "127.0.0.1", relay.process.Port(), c.user, "", "", ""};
        if (!c.user.empty()) account.Url.Password = PeerEnv("INN_TEST_PASS", "secret");
        account.Secure = kTlsByStartTls;
        const size_t logStart = SessionLog().size();
        ConnectAccount(account);
        EXPECT_EQ(manager->Connection().LoggedIn(), !c.user.empty());
        EXPECT_TRUE(manager->Connection().Capabilities().Reader);
        EXPECT_FALSE(manager->Connection().Capabilities().StartTls);  // asked again inside TLS
        EXPECT_EQ(Send("GROUP", kTestGroup).Code, 211);
        EXPECT_EQ(Send("BODY", SampleId("ascii", runId)).Code, 222);
        std::string body, line;
        while (manager->Connection().ReadDataLine(line) == DataLine::Data) body += line + "\n";
        EXPECT_EQ(body, "Hello from the seeder.\nSecond line.\nThird line.\n");
        manager.reset();

        const std::string report = relay.Report("check");
        EXPECT_NE(report.find("0 client clear " + c.clear + "\n"), std::string::npos) << report;
        EXPECT_NE(report.find("\\r\\n382 "), std::string::npos) << report;
        EXPECT_EQ(report.find("broken"), std::string::npos) << report;
        EXPECT_EQ(report.find(" tls 0 "), std::string::npos) << report;
        // The log: STARTTLS, the certificate, the list asked anew, then any login.
        const std::string log = SessionLog().substr(logStart);
        const size_t tls = log.find("STARTTLS: TLS with certificate SHA-256 " +
                                    CertificateFingerprint(PeerTlsFile("server.pem")));
        ASSERT_NE(tls, std::string::npos) << log;
        EXPECT_LT(log.find("> STARTTLS"), tls) << log;
        EXPECT_NE(log.find("> CAPABILITIES", tls), std::string::npos) << log;
        const size_t login = log.find("> AUTHINFO");
        EXPECT_EQ(login == std::string::npos, c.user.empty()) << log;
        EXPECT_TRUE(login == std::string::npos || login > tls) << log;
    }
}

INSTANTIATE_TEST_SUITE_P(Routes, StartTlsSession, ::testing::Values(Route{"Direct", 0}), RouteName);

using FixtureTls = HostTest;

TEST_F(FixtureTls, CertificateForAnotherNameIsAWrongName) {
    TempHomeForTest home;
    OtherCertificate other;
    FixtureNewsServer server;
    server.AddGroup(kTestGroup);
    server.Start({"--tls-cert", other.Certificate(), "--tls-key", other.Key()});
    ScopedEnvironment environment;
    environment.Set(kExtraCaFileVariable, other.Certificate().c_str());
    // By address and by host name: the name the certificate holds is neither.
    for (const char* host : {"127.0.0.1", "localhost"}) {
        TNewsInternetManager manager(nullptr);
        try {
            manager.Connect(SecureAccount(host, server.Port()));
            ADD_FAILURE() << host << ": connected";
        } catch (const ECertificateError& error) {
            EXPECT_EQ(error.Code, kRefused + kCertificateUntrusted) << host;
            EXPECT_NE(error.Message.find("wrong name"), std::string::npos) << error.Message;
        }
    }
}

}  // namespace
}  // namespace kestrova::testing
