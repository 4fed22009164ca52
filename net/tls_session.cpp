#include "net/tls_session.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cstdlib>

namespace kestrova {

namespace {

// The oldest queued OpenSSL error as text (printable ASCII only), or fallback when none.
std::string LibraryError(const char* fallback) {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0) return fallback;
    char text[256] = {};
    ERR_error_string_n(code, text, sizeof text);
    std::string out;
    for (const char* c = text; *c != 0; ++c) out += (*c >= 0x20 && *c < 0x7F) ? *c : '?';
    return out;
}

bool IsAddressText(const std::string& name) {
    unsigned char bytes[16];
    return inet_pton(AF_INET, name.c_str(), bytes) == 1 ||
           inet_pton(AF_INET6, name.c_str(), bytes) == 1;
}

}  // namespace

TTlsSession::TTlsSession(int fd, const std::string& peerName) {
    ERR_clear_error();
    context_ = SSL_CTX_new(TLS_client_method());
    if (context_ == nullptr) {
        error_ = LibraryError("cannot create the TLS context");
        return;
    }
    SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION);
    // Verification runs during the handshake and its result is judged afterwards (Verdict), so
    // that a failure can say why and the user can choose to trust the certificate.
    SSL_CTX_set_verify(context_, SSL_VERIFY_NONE, nullptr);
    SSL_CTX_set_default_verify_paths(context_);
    if (const char* caFile = std::getenv(kExtraCaFileVariable); caFile != nullptr && *caFile) {
        SSL_CTX_load_verify_locations(context_, caFile, nullptr);
    }
    // A news server that closes after QUIT without the closing alert ends the session cleanly;
    // the protocol's own ends (status lines, the "." line) tell whether data is complete.
    SSL_CTX_set_options(context_, SSL_OP_IGNORE_UNEXPECTED_EOF);
    SSL_CTX_set_mode(context_, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);

    SSL* ssl = SSL_new(context_);
    bool named = ssl != nullptr && SSL_set_fd(ssl, fd) == 1;
    if (named && IsAddressText(peerName)) {
        named = X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), peerName.c_str()) == 1;
    } else if (named) {
        named = SSL_set1_host(ssl, peerName.c_str()) == 1 &&
                SSL_set_tlsext_host_name(ssl, peerName.c_str()) == 1;
    }
    if (!named) {
        error_ = LibraryError("cannot set up the TLS session");
        if (ssl != nullptr) SSL_free(ssl);
        return;
    }
    SSL_set_connect_state(ssl);
    ssl_ = ssl;
}

TTlsSession::~TTlsSession() {
    if (ssl_ != nullptr) SSL_free(ssl_);
    if (context_ != nullptr) SSL_CTX_free(context_);
}

TlsStep TTlsSession::Step(int result, const char* what) {
    switch (SSL_get_error(ssl_, result)) {
        case SSL_ERROR_NONE:
            return TlsStep::Done;
        case SSL_ERROR_WANT_READ:
            return TlsStep::WantRead;
        case SSL_ERROR_WANT_WRITE:
            return TlsStep::WantWrite;
        case SSL_ERROR_ZERO_RETURN:
            return TlsStep::Closed;
        default:
            error_ = LibraryError(what);
            return TlsStep::Failed;
    }
}

TlsStep TTlsSession::Handshake() {
    if (ssl_ == nullptr) return TlsStep::Failed;
    ERR_clear_error();
    const int result = SSL_do_handshake(ssl_);
    if (result == 1) return TlsStep::Done;
    const TlsStep step = Step(result, "the connection ended during the TLS handshake");
    return step == TlsStep::Closed ? TlsStep::Failed : step;
}

TlsStep TTlsSession::Read(char* out, size_t size, size_t& got) {
    got = 0;
    if (ssl_ == nullptr) return TlsStep::Failed;
    ERR_clear_error();
    const int result = SSL_read_ex(ssl_, out, size, &got);
    return result == 1 ? TlsStep::Done : Step(result, "TLS read failed");
}

TlsStep TTlsSession::Write(const char* data, size_t size, size_t& sent) {
    sent = 0;
    if (ssl_ == nullptr) return TlsStep::Failed;
    ERR_clear_error();
    const int result = SSL_write_ex(ssl_, data, size, &sent);
    const TlsStep step = result == 1 ? TlsStep::Done : Step(result, "TLS write failed");
    return step == TlsStep::Closed ? TlsStep::Failed : step;
}

size_t TTlsSession::Pending() const {
    return ssl_ == nullptr ? 0 : static_cast<size_t>(SSL_pending(ssl_));
}

void TTlsSession::Shutdown() {
    if (ssl_ == nullptr) return;
    ERR_clear_error();
    SSL_shutdown(ssl_);
    ERR_clear_error();
}

std::string TTlsSession::Fingerprint() const {
    X509* certificate = ssl_ == nullptr ? nullptr : SSL_get0_peer_certificate(ssl_);
    if (certificate == nullptr) return {};
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (X509_digest(certificate, EVP_sha256(), digest, &length) != 1) return {};
    return FingerprintText(digest, length);
}

TCertificateVerdict TTlsSession::Verdict(const std::string& trusted) const {
    const std::string fingerprint = Fingerprint();
    if (fingerprint.empty()) {
        return {TCertificateVerdict::Kind::Untrusted, "the server sent no certificate"};
    }
    return CheckCertificate(SSL_get_verify_result(ssl_), fingerprint, trusted);
}

}  // namespace kestrova
