// Names of copied-out articles: the download template's macros, and names that subjects and
// templates cannot turn into a path outside the chosen folder or a name the file system refuses.
#include "ui/download_name.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/codepages.h"

namespace kestrova {
namespace {

TEST(DownloadNameTest, TemplateMacrosExpand) {
    const TDownloadSource source{"Hello, world", "Ann Lee", 1234};
    for (auto [pattern, expected] : {
             std::pair{"", "listed.txt"},  // no template: the listed name, mask applied, stays
             {"%Number:6% %Subject:10%.txt", "  1234 Hello, wor.txt"},
             {"%number%-%SUBJECT%", "1234-Hello, world"},
             {"%OName:3% %From%", "Ann Ann Lee"},
             {"%Number:2%", "1234"},  // a field narrower than the number
             {"%Subject:x%|", "|"},   // a width that is no number counts as 0
             {"%Cursor% %Foo:3% 100%", "%Cursor% %Foo:3% 100%"},  // other words, an unclosed sign
             {"%%", "%%"},
         })
        EXPECT_EQ(ExpandDownloadName(pattern, source, "listed.txt"), expected) << pattern;
    EXPECT_EQ(ExpandDownloadName("%Number:999999999%", source, "").size(), kMaxFileNameBytes);
}

TEST(DownloadNameTest, SafeNamesStayInTheFolderAndFitTheFileSystem) {
    std::string cyrillic;  // two UTF-8 bytes each
    for (int i = 0; i < 200; ++i) cyrillic += "а";
    for (const auto& [name, expected] : {
             std::pair<std::string, std::string>{"Re: a/b\\c?", "Re_ a_b_c_"},
             {"../../etc/passwd", ".._.._etc_passwd"},
             {"..", "__"},
             {".", "_"},
             {"", "_"},
             {std::string("a\0b\x1B[2J", 7), "a_b_[2J"},
             {"ends in blanks  ", "ends in blanks__"},
             {std::string(300, 'x'), std::string(kMaxFileNameBytes, 'x')},
             {cyrillic, cyrillic.substr(0, 254)},  // cut between characters
         }) {
        const std::string safe = SafeDownloadName(name);
        EXPECT_EQ(safe, expected) << name;
        EXPECT_LE(platform::OemToUtf8(safe).size(), kMaxFileNameBytes);
    }
}

}  // namespace
}  // namespace kestrova
