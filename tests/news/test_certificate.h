// A self-signed TLS certificate and key for the name other.example, made by the openssl program
// in a temporary folder, for the fixture news server's --tls-cert and --tls-key.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/temp_folder.h"

namespace kestrova::testing {

class OtherCertificate {
  public:
    OtherCertificate() {
        const std::string command =
            "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=other.example "
            "-addext subjectAltName=DNS:other.example -keyout '" +
            Key() + "' -out '" + Certificate() + "' >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
    std::string Certificate() const { return folder_.Path() + "/other.pem"; }
    std::string Key() const { return folder_.Path() + "/other.key"; }

  private:
    TempFolderForTest folder_;
};

}  // namespace kestrova::testing
