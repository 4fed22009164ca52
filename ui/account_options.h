// One news-server account: its address and the author headers used when posting. The options'
// default account has the same type.
#pragma once

#include <string>

#include "common/url.h"

namespace kestrova {

// Values of TAccountOptions::Secure, as stored. 1 was the only secure value before STARTTLS: a
// build that knows only it takes any other as TLS from the first byte, which fails against a
// plain port instead of sending anything in clear.
inline constexpr int kPlainConnection = 0;
inline constexpr int kTlsFromFirstByte = 1;  // "nntps", port 563
inline constexpr int kTlsByStartTls = 2;     // STARTTLS on the plain port, 119

struct TAccountOptions {
    TUrlComponents Url;
    std::string Description;  // the account's name in the panel
    std::string FromName;
    std::string FromAddr;
    std::string ReplyTo;
    std::string Organization;
    int CharTable = 0;  // character-set slot index, -4 for ".default"
    int UseProxy = 0;
    int AskPassword = 0;
    int Secure = 0;  // kPlainConnection, kTlsFromFirstByte or kTlsByStartTls
    // The SHA-256 fingerprint of the one server certificate the user chose to trust although it
    // failed verification; empty for none.
    std::string TrustedCertificate;
};

}  // namespace kestrova
