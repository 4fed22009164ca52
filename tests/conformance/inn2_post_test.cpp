// Posting to a real news server on loopback the way the panel does, and reading the article back
// as the server stores it: KOI8-R text in Base64 with encoded words in the header.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <set>
#include <string>

#include "common/base64.h"
#include "conformance/inn2_session.h"
#include "ui/product_info.h"

namespace kestrova::testing {
namespace {

// "Привет" in the OEM code page (866) and in KOI8-R.
const std::string kOemWord = "\x8F\xE0\xA8\xA2\xA5\xE2";
const std::string kKoi8Word = "\xF0\xD2\xC9\xD7\xC5\xD4";

struct Article {
    std::set<std::string> header;
    std::string body;  // lines ended by CR LF
};

// The newest of the last 100 articles of group whose header holds line.
Article FindArticle(const std::string& group, const std::string& line) {
    TNewsInternetManager reader(nullptr);
    TAccountOptions account;
    account.Url = {"news", "127.0.0.1", kReaderPort, "", "", "", ""};
    reader.Connect(account);
    TNntpConnection& connection = reader.Connection();
    const auto send = [&](const std::string& command, const std::string& argument) {
        return connection.Command(CommandLine(command, argument), kLogCommand, kKeepReply);
    };
    const TNntpStatus selected = send("GROUP", group);
    EXPECT_EQ(selected.Code, 211) << selected.Line;
    const GroupStatus status = ParseGroupStatus(selected.Line);
    for (long number = status.high; number >= status.low && number > status.high - 100; --number) {
        if (send("ARTICLE", std::to_string(number)).Code != 220) continue;
        Article article;
        bool inBody = false;
        for (std::string text; connection.ReadDataLine(text) == DataLine::Data;) {
            if (inBody)
                article.body += text + "\r\n";
            else if (!(inBody = text.empty()))
                article.header.insert(text);
        }
        if (article.header.count(line) != 0) return article;
    }
    ADD_FAILURE() << "no article in " << group << " with " << line;
    return {};
}

// What the editor was given; it saves kSaved.
std::string given;
const std::string kSaved = kOemWord + "\n";

int Edit(const char* fileName, const char*, int, int, int, int, unsigned, int, int) {
    given = ReadWholeFile(fileName);
    std::ofstream(fileName, std::ios::binary | std::ios::trunc) << kSaved;
    return 1;
}

using Inn2Post = Inn2Panel;

TEST_F(Inn2Post, NewArticleInKoi8RWithBase64ReadBackByteForByte) {
    Options.Default.FromName = kOemWord + " Ann";
    Options.Default.FromAddr = "ann@example.test";
    Options.Default.ReplyTo = "replies@example.test";
    Options.Default.Organization = "Example";
    Options.Default.CharTable = 0;  // koi8-r
    StartupInfo.Editor = &Edit;
    const std::string tag =
        std::to_string(getpid()) + "x" +
        std::to_string(std::chrono::system_clock::now().time_since_epoch().count());
    OpenGroup(kTestGroup);
    host.dialogAnswers.push_back(
        FakeHost::Close(18, {{5, kOemWord + " " + tag}}, {{8, 0}, {9, 1}}));
    given = "unset";
    ASSERT_EQ(panel.ProcessKey(VK_F4, PKF_SHIFT), 1);
    EXPECT_EQ(given, "");  // no template: an empty text

    // Every composed line is stored as it was sent (the server orders the lines its own way and
    // adds its own), and so is a date line.
    const auto encoded = [](const std::string& text) {
        return "=?koi8-r?B?" + Base64Encode(text) + "?=";
    };
    const std::string subject = "Subject: " + encoded(kKoi8Word + " " + tag);
    const Article article = FindArticle(kTestGroup, subject);
    const std::string name = encoded(kKoi8Word + " Ann");
    for (const std::string& line : std::initializer_list<std::string>{
             "Newsgroups: kestrova.test",
             "X-Mailer: Kestrova plugin version " + std::string(kProductVersion),
             "Content-Type: text/plain; charset=koi8-r", "Content-Transfer-Encoding: base64",
             "From: " + name + " <ann@example.test>",
             "Reply-To: " + name + " <replies@example.test>", "Organization: " + encoded("Example"),
             subject})
        EXPECT_EQ(article.header.count(line), 1u) << line;
    EXPECT_TRUE(std::any_of(article.header.begin(), article.header.end(), [](const auto& line) {
        return line.size() == 37 && line.starts_with("Date: ") && line.ends_with(" +0000");
    }));
    EXPECT_EQ(article.body, Base64Encode(kKoi8Word + "\n") + "\r\n");
}

}  // namespace
}  // namespace kestrova::testing
