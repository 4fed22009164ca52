#include "ui/signature.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/scoped_environment.h"
#include "platform/temp_folder.h"

namespace kestrova {
namespace {

TEST(Signature, FollowsASeparatorLineUnlessTheTextHasOne) {
    for (auto [text, signature, expected] : {
             std::tuple{"text\n", "sig\n", "text\n-- \nsig\n"},
             {"text", "sig", "text\n-- \nsig\n"},
             {"", "sig\n", "-- \nsig\n"},
             {"text\n", "", "text\n"},
             {"a\n-- \nmine\n", "sig\n", "a\n-- \nmine\n"},
             {"-- \nmine\n", "sig\n", "-- \nmine\n"},
             {"a\r\n-- \r\nmine\r\n", "sig\n", "a\r\n-- \r\nmine\r\n"},
             {"a\n--\nnot one\n", "sig\n", "a\n--\nnot one\n-- \nsig\n"},
         })
        EXPECT_EQ(WithSignature(text, signature), expected) << text;
}

TEST(Signature, ReadFromHomeBoundedWithoutItsOwnSeparator) {
    TempFolderForTest home;
    const std::string& folder = home.Path();
    ScopedEnvironment environment;
    environment.Set("HOME", folder.c_str());
    std::ofstream(folder + "/.signature") << "-- \nAnn\n";
    std::ofstream(folder + "/long.sig") << std::string(kSignatureLimit + 10, 'x');
    EXPECT_EQ(ReadSignature("~/.signature"), "Ann\n");
    EXPECT_EQ(ReadSignature(folder + "/long.sig").size(), kSignatureLimit);
    EXPECT_EQ(ReadSignature("~/missing"), "");
    EXPECT_EQ(ReadSignature(""), "");
}

}  // namespace
}  // namespace kestrova
