#include "host/language_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/host_error.h"

namespace kestrova::host {
namespace {

TEST(LanguageFile, ReadsMessagesInNumberOrder) {
    const LanguageFile file = LanguageFile::Parse(
        "// header comment\r\n.Language=Russian,Russian (Русский)\r\n\r\n// 0\r\n\"\"\r\n"
        "  \"Say \"hi\" %s\"  \r\n\"\x8F\xE0\xA8\xA2\xA5\xE2\"\r\n",
        "test.lng");
    EXPECT_EQ(file.Language(), "Russian");
    EXPECT_EQ(file.Count(), 3);
    std::vector<std::string> messages;
    for (int n = -1; n <= 3; ++n) messages.push_back(file.Message(n));
    EXPECT_EQ(messages,
              (std::vector<std::string>{"", "", "Say \"hi\" %s", "\x8F\xE0\xA8\xA2\xA5\xE2", ""}));
}

TEST(LanguageFile, RejectsBadFilesNamingTheLine) {
    struct Case {
        const char* Text;
        const char* Error;
    } cases[] = {
        {"", "test.lng: no \".Language=\" header"},
        {"\"text\"\n", "test.lng:1: expected the header"},
        {".Language=English\n\"ok\"\nbare text\n",
         "test.lng:3: expected a message in double quotes"},
        {".Language=English\n\"open\n", "test.lng:2: expected a message in double quotes"},
        {".Language=,x\n", "test.lng:1: the header names no language"},
    };
    for (const Case& c : cases)
        EXPECT_THAT([&] { LanguageFile::Parse(c.Text, "test.lng"); },
                    ::testing::ThrowsMessage<HostError>(::testing::StartsWith(c.Error)));
    EXPECT_THROW(LanguageFile::Load("/nonexistent/KestrovaEng.lng"), HostError);
}

TEST(LanguageFile, ChoosesTheFileByLanguage) {
    EXPECT_EQ(LanguageFileName(nullptr, nullptr), "KestrovaEng.lng");
    EXPECT_EQ(LanguageFileName("rus", "en_US.UTF-8"), "KestrovaRus.lng");
    EXPECT_EQ(LanguageFileName("eng", "ru_RU.UTF-8"), "KestrovaEng.lng");
    EXPECT_EQ(LanguageFileName(nullptr, "ru_RU.UTF-8"), "KestrovaRus.lng");
    EXPECT_EQ(LanguageFileName("", "ru_RU.UTF-8"), "KestrovaRus.lng");
    EXPECT_EQ(LanguageFileName(nullptr, "C.UTF-8"), "KestrovaEng.lng");
}

}  // namespace
}  // namespace kestrova::host
