// Implicit TLS and IPv6 against the loopback news server: its TLS port (certificate from the test
// CA that tools/peers/inn2.sh makes) directly and through SOCKS 5, by name, IPv4 and IPv6
// address; the refusal of an unknown issuer and the trust by fingerprint; and, against the
// fixture server with certificates of its own, a wrong name and a changed certificate.
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "conformance/inn2_session.h"
#include "net/certificate_check.h"
#include "net/tls_session.h"
#include "news/fixture_server.h"
#include "news/test_certificate.h"

namespace kestrova::testing {
namespace {

uint16_t TlsPort() {
    return PeerPort("INN_TLS_PORT", 1563);
}

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

// Sets the extra CA file for the lifetime of the object (empty: none).
class ExtraCaFile {
  public:
    explicit ExtraCaFile(const std::string& path) {
        if (const char* old = std::getenv(kExtraCaFileVariable)) saved_ = old;
        if (path.empty()) {
            unsetenv(kExtraCaFileVariable);
        } else {
            setenv(kExtraCaFileVariable, path.c_str(), 1);
        }
    }
    ~ExtraCaFile() {
        if (saved_.empty()) {
            unsetenv(kExtraCaFileVariable);
        } else {
            setenv(kExtraCaFileVariable, saved_.c_str(), 1);
        }
    }
    ExtraCaFile(const ExtraCaFile&) = delete;
    ExtraCaFile& operator=(const ExtraCaFile&) = delete;

  private:
    std::string saved_;
};

TAccountOptions SecureAccount(const std::string& host, uint16_t port,
                              const std::string& trusted = "") {
    TAccountOptions account;
    account.Url.Scheme = "nntps";
    account.Url.HostName = host;
    account.Url.Port = port;
    account.TrustedCertificate = trusted;
    return account;
}

class TlsSession : public Inn2Session {
  protected:
    void SetUp() override {
        Inn2Session::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        SKIP_UNLESS_LISTENING(TlsPort(), "the news server (TLS)", kInnScript, "INN_TLS_PORT");
    }

    // Connects account and expects the failure code (0: success, then GROUP must work).
    ECertificateError ConnectExpecting(const TAccountOptions& account, uint32_t code) {
        try {
            ConnectAccount(account);
            EXPECT_EQ(code, 0u) << account.Url.HostName << ": connected";
            EXPECT_EQ(Send("GROUP", kTestGroup), 211) << manager->ReplyLine;
        } catch (const ECertificateError& error) {
            EXPECT_EQ(error.Code, code) << account.Url.HostName << ": " << error.Message;
            EXPECT_FALSE(manager->IsConnected());
            return error;
        }
        return ECertificateError(0, "", "", "", "");
    }
};

TEST_P(TlsSession, VerifiedByTheTrustedCaAtEveryAddressForm) {
    ExtraCaFile ca(PeerTlsFile("ca.pem"));
    for (const char* host : {"localhost", "127.0.0.1", "::1"}) {
        ConnectExpecting(SecureAccount(host, TlsPort()), 0);
        EXPECT_EQ(manager->ReplyCode, 211) << host;
    }
    EXPECT_NE(SessionLog().find("TLS with certificate SHA-256 " +
                                CertificateFingerprint(PeerTlsFile("server.pem"))),
              std::string::npos);
}

TEST_P(TlsSession, UnknownIssuerIsRefusedWithItsReasonUntilTheFingerprintIsTrusted) {
    ExtraCaFile noCa("");
    const ECertificateError refused =
        ConnectExpecting(SecureAccount("localhost", TlsPort()), kRefused + kCertificateUntrusted);
    EXPECT_NE(refused.Message.find("unknown issuer"), std::string::npos) << refused.Message;
    EXPECT_EQ(refused.ProcName, "StartTls");
    const std::string fingerprint = CertificateFingerprint(PeerTlsFile("server.pem"));
    ASSERT_FALSE(fingerprint.empty());
    EXPECT_EQ(refused.Fingerprint, fingerprint);

    ConnectExpecting(SecureAccount("localhost", TlsPort(), fingerprint), 0);
}

TEST_P(TlsSession, PlainServerFailsTheHandshakeInsteadOfHanging) {
    try {
        ConnectAccount(SecureAccount("127.0.0.1", ReaderPort()));
        ADD_FAILURE() << "a TLS session with a plain server";
    } catch (const ESocketError& error) {
        EXPECT_EQ(error.Code, kRefused + kTlsFailed) << error.Message;
    }
}

TEST_P(TlsSession, IPv6AddressReachesThePlainPort) {
    TAccountOptions account;
    account.Url.HostName = "::1";
    account.Url.Port = ReaderPort();
    ConnectAccount(account);
    EXPECT_EQ(manager->ReplyCode, 200) << manager->ReplyLine;
    EXPECT_EQ(Send("GROUP", kTestGroup), 211) << manager->ReplyLine;
}

INSTANTIATE_TEST_SUITE_P(Routes, TlsSession,
                         ::testing::Values(Route{"Direct", 0}, Route{"DanteSocks5", 5}), RouteName);

class FixtureTls : public HostTest {
  protected:
    FixtureTls() {
        server_.AddGroup(kTestGroup);
        server_.Start({"--tls-cert", other_.Certificate(), "--tls-key", other_.Key()});
    }

    uint32_t FailureOf(const TAccountOptions& account, std::string& message) {
        TNewsInternetManager manager(nullptr);
        try {
            manager.Connect(account);
        } catch (const ECertificateError& error) {
            message = error.Message;
            return error.Code;
        }
        return 0;
    }

    TempHomeForTest home_;
    OtherCertificate other_;
    FixtureNewsServer server_;
};

TEST_F(FixtureTls, CertificateForAnotherNameIsAWrongName) {
    ExtraCaFile ca(other_.Certificate());
    std::string message;
    EXPECT_EQ(FailureOf(SecureAccount("127.0.0.1", server_.Port()), message),
              kRefused + kCertificateUntrusted);
    EXPECT_NE(message.find("wrong name"), std::string::npos) << message;
}

TEST_F(FixtureTls, AnotherCertificateThanTheTrustedOneIsRefused) {
    // The account trusts one certificate (the news server's); this server shows another.
    const std::string trusted =
        "00:11:22:33:44:55:66:77:88:99:AA:BB:CC:DD:EE:FF:00:11:22:33:44:55:66:77:88:99:AA:BB:CC:"
        "DD:EE:FF";
    ExtraCaFile noCa("");
    std::string message;
    EXPECT_EQ(FailureOf(SecureAccount("127.0.0.1", server_.Port(), trusted), message),
              kRefused + kCertificateChanged);
    EXPECT_NE(message.find(CertificateFingerprint(other_.Certificate())), std::string::npos)
        << message;
}

}  // namespace
}  // namespace kestrova::testing
