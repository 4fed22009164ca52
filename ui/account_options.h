// One news-server account: its address and the author headers used when posting. The options'
// default account has the same type.
#pragma once

#include <string>

#include "common/url.h"

namespace kestrova {

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
    int Secure = 0;  // implicit TLS ("nntps")
    // The SHA-256 fingerprint of the one server certificate the user chose to trust although it
    // failed verification; empty for none.
    std::string TrustedCertificate;
};

}  // namespace kestrova
