// A TLS client session over a connected non-blocking socket descriptor. Every call does what it
// can without blocking and says what it waits for; the socket layer turns that into its own
// poll-based waits, so the Esc check and the time-out keep running during TLS.
#pragma once

#include <cstddef>
#include <string>

#include "net/certificate_check.h"

struct ssl_st;
struct ssl_ctx_st;

namespace kestrova {

// What a step of the session came to.
enum class TlsStep {
    Done,       // finished (handshake), or bytes were moved (read, write)
    WantRead,   // call again when the socket is readable
    WantWrite,  // call again when the socket is writable
    Closed,     // the peer ended the session (reading)
    Failed,     // a TLS or socket failure: see ErrorText
};

// The environment variable naming a PEM file of extra trusted certificates (besides the
// system's trust store).
inline constexpr const char* kExtraCaFileVariable = "KESTROVA_CA_FILE";

class TTlsSession {
  public:
    // A session on fd for the server peerName: a host name (sent as the server name and checked
    // against the certificate) or an IP address text (checked against the certificate's IP
    // addresses). TLS 1.2 at least. Failed() tells whether it could be set up.
    TTlsSession(int fd, const std::string& peerName);
    ~TTlsSession();
    TTlsSession(const TTlsSession&) = delete;
    TTlsSession& operator=(const TTlsSession&) = delete;

    bool Failed() const { return ssl_ == nullptr; }

    TlsStep Handshake();
    // Decrypted bytes into out (got is set for Done).
    TlsStep Read(char* out, size_t size, size_t& got);
    // Sends up to size bytes (sent is set for Done); a retry after WantRead/WantWrite must pass
    // the same bytes again.
    TlsStep Write(const char* data, size_t size, size_t& sent);
    // Decrypted bytes already held: they can be read without waiting.
    size_t Pending() const;
    // Sends the closing alert if it can without waiting.
    void Shutdown();

    // After the handshake: the server certificate's verdict for an account that trusts the
    // fingerprint trusted (empty for none), and its SHA-256 fingerprint (empty without one).
    TCertificateVerdict Verdict(const std::string& trusted) const;
    std::string Fingerprint() const;

    // Why the last step failed.
    const std::string& ErrorText() const { return error_; }

  private:
    TlsStep Step(int result, const char* what);

    ssl_ctx_st* context_ = nullptr;
    ssl_st* ssl_ = nullptr;
    std::string error_;
};

}  // namespace kestrova
