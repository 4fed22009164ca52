// Posting to a real news server on loopback the way the panel does: the subject from the posting
// dialog, the body from the editor, in four scripts, as UTF-8 or in a legacy set with Base64.
// A client none of Kestrova's code wrote (read_posted.py: a raw socket and Python's email
// package) reads each article back; a KOI8-R article in Base64 is also read back line by line
// as the server stores it. A text the chosen set cannot hold is refused before anything is sent.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>

#include "common/base64.h"
#include "conformance/inn2_session.h"
#include "ui/char_tables.h"
#include "ui/message_numbers.h"
#include "ui/product_info.h"

namespace kestrova::testing {
namespace {

// What the independent client reads back of the article whose body holds tag ("" for none).
std::string ReadPosted(const std::string& tag) {
    return CommandOutput("python3 '" + SourceFolder() + "/tests/conformance/read_posted.py' " +
                         std::to_string(kReaderPort) + " " + kTestGroup + " " + tag +
                         " 2>/dev/null");
}

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

// What the editor was given; it saves saved.
std::string given;
std::string saved;

int Edit(const char* fileName, const char*, int, int, int, int, unsigned, int, int) {
    given = ReadWholeFile(fileName);
    std::ofstream(fileName, std::ios::binary | std::ios::trunc) << saved;
    return 1;
}

std::string NewTag() {
    return "t" + std::to_string(getpid()) + "x" +
           std::to_string(std::chrono::system_clock::now().time_since_epoch().count());
}

// The lines of every warning box the panel showed, each box's lines joined by '|'.
std::vector<std::string> Warnings(const FakeHost& host) {
    std::vector<std::string> warnings;
    for (const auto& message : host.messages) {
        if (!(message.flags & FMSG_WARNING)) continue;  // status boxes of the work in progress
        std::string shown;
        for (const std::string& line : message.items) shown += line + "|";
        warnings.push_back(shown);
    }
    return warnings;
}

class Inn2Post : public Inn2Panel {
  protected:
    // Composes an article of text in slot (Base64 or 8bit) and posts it; tag marks the body.
    void Post(const std::string& text, int slot, bool base64, const std::string& tag) {
        Options.Default.FromName = text + " Ann";
        Options.Default.FromAddr = "ann@example.test";
        Options.Default.ReplyTo = "replies@example.test";
        Options.Default.Organization = text;
        Options.Default.CharTable = slot;
        StartupInfo.Editor = &Edit;
        saved = text + " " + tag + "\n";
        OpenGroup(kTestGroup);
        host.dialogAnswers.push_back(
            FakeHost::Close(18, {{5, text + " " + tag}}, {{8, base64 ? 0 : 1}, {9, base64}}));
        panel.ProcessKey(VK_F4, PKF_SHIFT);
    }
};

TEST_F(Inn2Post, FourScriptsReadBackExactlyWithTheirMimeHeaders) {
    struct Case {
        std::string text;
        int slot;
        bool base64;
        std::string charset;
    } cases[] = {
        {"Grüße, naïve Öl", kNoSlot, false, "utf-8"}, {"Привет, мир", kNoSlot, false, "utf-8"},
        {"Καλημέρα κόσμε", kNoSlot, false, "utf-8"},  {"你好，世界 中文", kNoSlot, false, "utf-8"},
        {"Привет, мир", 0, true, "koi8-r"},
    };
    for (const Case& c : cases) {
        const std::string tag = NewTag();
        Post(c.text, c.slot, c.base64, tag);
        EXPECT_EQ(Warnings(host), std::vector<std::string>{}) << c.text;
        EXPECT_EQ(ReadPosted(tag),
                  "MIME-Version: 1.0\n"
                  "Content-Type: text/plain; charset=" +
                      c.charset + "\n" +
                      "Content-Transfer-Encoding: " + (c.base64 ? "base64" : "8bit") + "\n" +
                      "Subject decoded: " + c.text + " " + tag + "\n" + "From decoded: " + c.text +
                      " Ann <ann@example.test>\n" + "Organization decoded: " + c.text + "\n" +
                      "Body: " + c.text + " " + tag + "|\n")
            << c.text;
        panel.FreeFindData(items, count);
        items = nullptr;
        host.messages.clear();
    }
}

TEST_F(Inn2Post, ACharacterTheLegacySetLacksIsRefusedAndNothingIsSent) {
    host.texts[kMsgCannotEncode] = "The character %s (%s) cannot be sent in %s";
    const std::string tag = NewTag();
    host.messageAnswers.push_back(0);  // the refusal's OK
    Post("Καλημέρα", 0, false, tag);   // koi8-r has no Greek
    const std::vector<std::string> warnings = Warnings(host);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("|The character Κ (U+039A) cannot be sent in koi8-r|"),
              std::string::npos)
        << warnings[0];
    EXPECT_EQ(ReadPosted(tag), "");
}

TEST_F(Inn2Post, NewArticleInKoi8RWithBase64ReadBackByteForByte) {
    const std::string word = "Привет";
    const std::string koi8Word = "\xF0\xD2\xC9\xD7\xC5\xD4";
    Options.Default.FromName = word + " Ann";
    Options.Default.FromAddr = "ann@example.test";
    Options.Default.ReplyTo = "replies@example.test";
    Options.Default.Organization = "Example";
    Options.Default.CharTable = 0;  // koi8-r
    StartupInfo.Editor = &Edit;
    const std::string tag = NewTag();
    saved = word + "\n";
    OpenGroup(kTestGroup);
    host.dialogAnswers.push_back(FakeHost::Close(18, {{5, word + " " + tag}}, {{8, 0}, {9, 1}}));
    given = "unset";
    ASSERT_EQ(panel.ProcessKey(VK_F4, PKF_SHIFT), 1);
    EXPECT_EQ(given, "");  // no template: an empty text

    // Every composed line is stored as it was sent (the server orders the lines its own way and
    // adds its own), and so is a date line.
    const auto encoded = [](const std::string& text) {
        return "=?koi8-r?B?" + Base64Encode(text) + "?=";
    };
    const std::string subject = "Subject: " + encoded(koi8Word + " " + tag);
    const Article article = FindArticle(kTestGroup, subject);
    const std::string name = encoded(koi8Word + " Ann");
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
    EXPECT_EQ(article.body, Base64Encode(koi8Word + "\n") + "\r\n");
}

}  // namespace
}  // namespace kestrova::testing
