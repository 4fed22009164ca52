// Message numbers of the language files for secure connections: the account dialog's TLS box
// and the question about a certificate that failed verification.
#pragma once

namespace kestrova {

inline constexpr int kMsgSecureConnection = 154;  // check box "Secure connection (TLS)"
inline constexpr int kMsgUntrustedTitle = 155;    // title of the trust question
inline constexpr int kMsgNotTrusted = 156;        // "%s": the server's certificate is not trusted
inline constexpr int kMsgFingerprint = 157;       // label before the SHA-256 fingerprint
inline constexpr int kMsgTrustQuestion = 158;     // trust it for the account from now on?
inline constexpr int kMsgTrust = 159;             // button

}  // namespace kestrova
