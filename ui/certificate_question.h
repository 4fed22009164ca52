// The question shown when a server's TLS certificate fails verification: why it failed and its
// fingerprint, and whether to trust that one certificate for the account from now on.
#pragma once

#include <string>

namespace kestrova {

// host: the server; reason: why verification failed; fingerprint: the certificate's SHA-256
// fingerprint. True when the user chose to trust it (Esc and the other button: false).
bool AskTrustCertificate(const std::string& host, const std::string& reason,
                         const std::string& fingerprint);

}  // namespace kestrova
