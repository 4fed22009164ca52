#include "common/password_scramble.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrova {
namespace {

TEST(PasswordScrambleTest, KnownStoredForms) {
    EXPECT_EQ(ScramblePassword(""), "");
    EXPECT_EQ(ScramblePassword("p"), "aQ==");
    EXPECT_EQ(ScramblePassword("secret"), "alziXS/9");
    EXPECT_EQ(UnscramblePassword("alziXS/9"), "secret");
    EXPECT_EQ(UnscramblePassword(""), "");
}

TEST(PasswordScrambleTest, EveryLengthAndByteComesBack) {
    for (size_t length : {1u, 2u, 3u, 254u, 255u, 256u, 1000u}) {
        std::string password;
        for (size_t i = 0; i < length; ++i) password += static_cast<char>((i * 37 + length) & 0xFF);
        std::string stored = ScramblePassword(password);
        EXPECT_EQ(stored.find(password), std::string::npos);
        EXPECT_EQ(UnscramblePassword(stored), password) << "length " << length;
    }
}

}  // namespace
}  // namespace kestrova
