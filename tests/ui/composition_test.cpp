#include "ui/composition.h"

#include <gtest/gtest.h>

#include <string>

#include "module_settings.h"

namespace kestrova {
namespace {

using testing::FakeHost;

std::string Text(TStream& stream) {
    std::string text(static_cast<size_t>(stream.Size()), '\0');
    stream.SetPosition(0);
    stream.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
    return text;
}

// "Привет" in the OEM code page (866) and in KOI8-R.
const std::string kOemWord = "\x8F\xE0\xA8\xA2\xA5\xE2";
const std::string kKoi8Word = "\xF0\xD2\xC9\xD7\xC5\xD4";

class CompositionTest : public ::testing::Test {
  protected:
    testing::ModuleSettings settings_;
    FakeHost& host_ = settings_.host;
    const SYSTEMTIME sunday_{2026, 12, 0, 6, 4, 9, 3, 0};
};

TEST_F(CompositionTest, AuthorLinesAreConvertedAndEncodedByTheTargetSet) {
    TAccountOptions account;
    account.FromName = "Ann";
    account.FromAddr = "ann@example.org";
    account.ReplyTo = "re@example.org";
    const struct {
        int targetSlot;
        int base64;
        std::string subject;
        std::string expectedSubject;
        std::string expectedName;
    } cases[] = {
        // No target set: nothing converted, nothing encoded, whatever the format.
        {kNoSlot, 1, kOemWord, kOemWord, "Ann"},
        // Base64: every non-empty text is one encoded word of the converted bytes.
        {0, 1, kOemWord, "=?koi8-r?B?8NLJ18XU?=", "=?koi8-r?B?QW5u?="},
        // 8bit: plain ASCII stays; converted 8-bit bytes are encoded all the same.
        {0, 0, "Hi", "Hi", "Ann"},
        {0, 0, kOemWord, "=?koi8-r?B?8NLJ18XU?=", "Ann"},
    };
    for (const auto& c : cases) {
        TPostInfo post;
        post.TargetSlot = c.targetSlot;
        post.Base64 = c.base64;
        post.Subject = c.subject;
        EXPECT_EQ(AuthorHeaderLines(account, post),
                  "From: " + c.expectedName + " <ann@example.org>\r\nReply-To: " + c.expectedName +
                      " <re@example.org>\r\nOrganization: \r\nSubject: " + c.expectedSubject +
                      "\r\n");
    }
}

TEST_F(CompositionTest, BodyInBase64LinesOfSixtyBytes) {
    TMemoryStream file;
    file.WriteText(std::string(130, 'a'));
    TPostInfo post;
    EXPECT_EQ(BuildBody(file, post), nullptr);  // no conversion: the file itself is the body
    post.Base64 = 1;
    const std::string body = Text(*BuildBody(file, post));
    std::string line;
    for (int i = 0; i < 20; ++i) line += "YWFh";
    ASSERT_EQ(body.size(), 80 + 2 + 80 + 2 + 16 + 2u);
    EXPECT_EQ(body.substr(0, 82), line + "\r\n");
    EXPECT_EQ(body.substr(82, 82), line + "\r\n");
    EXPECT_EQ(body.substr(164), "YWFhYWFhYWFhYQ==\r\n");
}

TEST_F(CompositionTest, BodyConvertedToTheTargetSet) {
    TMemoryStream file;
    file.WriteText(kOemWord + "\n");
    TPostInfo post;
    post.TargetSlot = 0;
    EXPECT_EQ(Text(*BuildBody(file, post)), kKoi8Word + "\n");
    post.SourceSlot = 0;  // a text already in KOI8-R goes out unchanged
    file.SetSize(0);
    file.WriteText(kKoi8Word);
    EXPECT_EQ(Text(*BuildBody(file, post)), kKoi8Word);
}

TEST_F(CompositionTest, DialogPicksGroupsAndWritesTheFirstLines) {
    TStringList groups;
    groups.Add("a.one");
    groups.Add("b.two");
    // "(?)" twice: the first choice fills the empty field, the second is added after a comma;
    // then Base64 is chosen and the article posted.
    host_.dialogAnswers.push_back(FakeHost::Close(3));
    host_.menuAnswers.push_back(1);
    host_.dialogAnswers.push_back(FakeHost::Close(3));
    host_.menuAnswers.push_back(0);
    host_.dialogAnswers.push_back(FakeHost::Close(18, {{5, "Subj"}}, {{8, 0}, {9, 1}}));
    TPostInfo post;
    post.TargetSlot = 0;
    TMemoryStream headers;
    EXPECT_EQ(PostDialog("", groups, post, headers, sunday_), kPostComposed);
    EXPECT_EQ(host_.menus[1].items[0].Selected, 0);
    EXPECT_EQ(host_.menus[1].items[1].Selected, 1);  // the last choice is preselected
    EXPECT_EQ(Text(headers),
              "Date: Sunday, 06 Dec 2026 04:09:03 GMT\r\nNewsgroups: b.two,a.one\r\n"
              "X-Mailer: Kestrova plugin version 1.0.b8\r\n"
              "Content-Type: text/plain; charset=koi8-r\r\nContent-Transfer-Encoding: base64\r\n");
    EXPECT_EQ(post.Subject, "Subj");
    EXPECT_EQ(post.Base64, 1);
}

TEST_F(CompositionTest, OutcomesWithoutHeaders) {
    // Post as is (19), cancel (21) and Esc write nothing and keep the subject.
    const struct {
        int closing;
        int outcome;
    } cases[] = {{19, kPostAsIs}, {21, kPostCancel}, {-1, kPostCancel}};
    for (const auto& c : cases) {
        host_.dialogAnswers.push_back(FakeHost::Close(c.closing, {{5, "changed"}}));
        TPostInfo post;
        post.Subject = "kept";
        TMemoryStream headers;
        EXPECT_EQ(PostDialog("g", TStringList(), post, headers, sunday_), c.outcome);
        EXPECT_EQ(headers.Size(), 0);
        EXPECT_EQ(post.Subject, "kept");
    }
}

TEST_F(CompositionTest, HtmlWithoutTargetSetHasNoCharset) {
    host_.dialogAnswers.push_back(FakeHost::Close(20, {}, {{8, 0}, {10, 1}}));
    TPostInfo post;
    TMemoryStream headers;
    EXPECT_EQ(PostDialog("g", TStringList(), post, headers, sunday_), kPostSave);
    EXPECT_NE(Text(headers).find("Content-Type: text/html\r\nContent-Transfer-Encoding: 8bit\r\n"),
              std::string::npos);
}

}  // namespace
}  // namespace kestrova
