// The decision whether a server's TLS certificate is accepted: by the verification against the
// trust store (with the host name), or by a SHA-256 fingerprint the user chose to trust for the
// account. A certificate that differs from the trusted fingerprint is refused, whatever the
// trust store says about it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/errors.h"

namespace kestrova {

// Socket error numbers of TLS (texts in socket_error_text.cpp; class kRefused: not retried).
inline constexpr uint32_t kTlsFailed = 12001;             // the TLS session could not be set up
inline constexpr uint32_t kCertificateUntrusted = 12002;  // verification failed
inline constexpr uint32_t kCertificateChanged = 12003;    // not the certificate the account trusts

// A refused server certificate: the fingerprint of the certificate that was offered, and for
// kCertificateUntrusted the reason, which the panel shows when it asks whether to trust it.
class ECertificateError : public ESocketError {
  public:
    ECertificateError(uint32_t code, std::string message, std::string procName,
                      std::string fingerprint, std::string reason)
        : ESocketError(code, std::move(message), std::move(procName)),
          Fingerprint(std::move(fingerprint)),
          Reason(std::move(reason)) {}
    const char* ClassName() const override { return "ECertificateError"; }

    std::string Fingerprint;
    std::string Reason;
};

struct TCertificateVerdict {
    enum class Kind {
        Trusted,    // verified, or the fingerprint the account trusts
        Untrusted,  // verification failed: the user may choose to trust this certificate
        Changed,    // not the certificate the account trusts: refused, no offer
    };
    Kind kind = Kind::Untrusted;
    std::string reason;  // why it is not trusted (Untrusted), empty otherwise
};

// verifyResult: the verification result code (0 for success); fingerprint: the certificate's
// (FingerprintText); trusted: the fingerprint stored with the account, empty for none.
TCertificateVerdict CheckCertificate(long verifyResult, std::string_view fingerprint,
                                     std::string_view trusted);

// A verification result in words: expired, wrong name, unknown issuer and so on.
std::string VerifyReason(long verifyResult);

// A SHA-256 digest as upper-case hex byte pairs joined by ":".
std::string FingerprintText(const unsigned char* digest, size_t length);

// Whether two fingerprint texts name the same digest (case and ":" separators ignored).
bool SameFingerprint(std::string_view a, std::string_view b);

}  // namespace kestrova
