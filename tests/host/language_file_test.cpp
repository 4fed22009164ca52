#include "host/language_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "host/host_error.h"
#include "platform/temp_folder.h"

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

// Files are UTF-8; one in CP866, as earlier versions kept them, is converted when loaded.
TEST(LanguageFile, LoadsUtf8AndConvertsCp866) {
    const TempFolderForTest folder;
    const std::pair<std::string, std::string> files[] = {
        {".Language=Russian\n\"\x8F\xE0\xA8\xA2\xA5\xE2\"\n", "Привет"},
        {".Language=Russian\n\"Привет 中文\"\n", "Привет 中文"},
    };
    for (const auto& [content, message] : files) {
        const std::string path = folder.Path() + "/test.lng";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
        EXPECT_EQ(std::string(LanguageFile::Load(path).Message(0)), message);
    }
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
