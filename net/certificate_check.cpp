#include "net/certificate_check.h"

#include <openssl/x509_vfy.h>

#include <cctype>

namespace kestrova {

namespace {

// The hex digits of a fingerprint text in upper case, separators dropped.
std::string HexDigits(std::string_view text) {
    std::string digits;
    for (const char c : text) {
        if (c != ':') digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return digits;
}

}  // namespace

TCertificateVerdict CheckCertificate(long verifyResult, std::string_view fingerprint,
                                     std::string_view trusted) {
    using Kind = TCertificateVerdict::Kind;
    if (!trusted.empty()) {
        if (SameFingerprint(fingerprint, trusted)) return {Kind::Trusted, {}};
        return {Kind::Changed, {}};
    }
    if (verifyResult == X509_V_OK) return {Kind::Trusted, {}};
    return {Kind::Untrusted, VerifyReason(verifyResult)};
}

std::string VerifyReason(long verifyResult) {
    switch (verifyResult) {
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return "the certificate has expired";
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return "the certificate is not valid yet";
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return "the certificate is for another name (wrong name)";
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
            return "the certificate is self-signed (unknown issuer)";
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
            return "the certificate's issuer is unknown (unknown issuer)";
        default:
            return X509_verify_cert_error_string(verifyResult);
    }
}

std::string FingerprintText(const unsigned char* digest, size_t length) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < length; ++i) {
        if (i > 0) text += ':';
        text += kHex[digest[i] >> 4];
        text += kHex[digest[i] & 0x0F];
    }
    return text;
}

bool SameFingerprint(std::string_view a, std::string_view b) {
    const std::string digits = HexDigits(a);
    return !digits.empty() && digits == HexDigits(b);
}

}  // namespace kestrova
