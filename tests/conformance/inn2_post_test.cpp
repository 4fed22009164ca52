// Posting to a real news server on loopback the way the panel does: the subject from the posting
// dialog, the body from the editor, in four scripts, as UTF-8 or in a legacy set with Base64.
// A client none of Kestrova's code wrote (read_posted.py: a raw socket and Python's email
// package) reads each article back, and a KOI8-R article in Base64 also as the server stores it. A
// text the chosen set cannot hold is refused before anything is sent.
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "common/base64.h"
#include "conformance/inn2_session.h"
#include "ui/char_tables.h"
#include "ui/message_numbers.h"
#include "ui/product_info.h"

namespace kestrova::testing {
namespace {

// What the independent client reads back of the article whose body holds tag ("" for none):
// its MIME headers and its texts decoded, or with "raw" the article as the server stores it.
std::string ReadPosted(const std::string& tag, const std::string& raw = "") {
    return CommandOutput("python3 '" + SourceFolder() + "/tests/conformance/read_posted.py' " +
                         std::to_string(kReaderPort) + " " + kTestGroup + " " + tag + " " + raw +
                         " 2>/dev/null");
}

// What the editor was given; it saves saved.
std::string given;
std::string saved;

int Edit(const char* fileName, const char*, int, int, int, int, unsigned, int, int) {
    given = ReadWholeFile(fileName);
    std::ofstream(fileName, std::ios::binary | std::ios::trunc) << saved;
    return 1;
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
        given = "unset";
        EXPECT_EQ(panel.ProcessKey(VK_F4, PKF_SHIFT), 1);
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
        const std::string tag = FreshTag("t");
        Post(c.text, c.slot, c.base64, tag);
        EXPECT_EQ(Warnings(host), std::vector<std::string>{}) << c.text;
        EXPECT_EQ(given, "") << c.text;  // no template: an empty text
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
    const std::string tag = FreshTag("t");
    host.messageAnswers.push_back(0);  // the refusal's OK
    Post("Καλημέρα", 0, false, tag);   // koi8-r has no Greek
    const std::vector<std::string> warnings = Warnings(host);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("|The character Κ (U+039A) cannot be sent in koi8-r|"),
              std::string::npos)
        << warnings[0];
    EXPECT_EQ(ReadPosted(tag), "");
}

TEST_F(Inn2Post, NewArticleInKoi8RWithBase64IsStoredAsSent) {
    const std::string koi8 = "\xF0\xD2\xC9\xD7\xC5\xD4";  // Привет
    const std::string tag = FreshTag("t");
    Post("Привет", 0, true, tag);
    // Every composed line is stored as it was sent (the server orders the lines its own way and
    // adds its own), and so is a date line.
    const auto encoded = [](const std::string& text) {
        return "=?koi8-r?B?" + Base64Encode(text) + "?=";
    };
    const std::string name = encoded(koi8 + " Ann");
    const std::string stored = "\r\n" + ReadPosted(tag, "raw");
    for (const std::string& line : std::initializer_list<std::string>{
             "Newsgroups: kestrova.test",
             "X-Mailer: Kestrova plugin version " + std::string(kProductVersion),
             "Content-Type: text/plain; charset=koi8-r", "Content-Transfer-Encoding: base64",
             "From: " + name + " <ann@example.test>",
             "Reply-To: " + name + " <replies@example.test>", "Organization: " + encoded(koi8),
             "Subject: " + encoded(koi8 + " " + tag)})
        EXPECT_NE(stored.find("\r\n" + line + "\r\n"), std::string::npos) << line << "\n" << stored;
    EXPECT_TRUE(std::regex_search(stored, std::regex("\r\nDate: [^\r]{25} \\+0000\r\n"))) << stored;
    EXPECT_TRUE(stored.ends_with("\r\n\r\n" + Base64Encode(koi8 + " " + tag + "\n") + "\r\n"))
        << stored;
}

}  // namespace
}  // namespace kestrova::testing
