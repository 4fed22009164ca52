#include "ui/reply_headers.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrova {
namespace {

TEST(ReplyHeaders, SubjectGetsOneReplyMark) {
    for (auto [subject, reply] : {
             std::pair{"Keyboard shortcuts", "Re: Keyboard shortcuts"},
             {"Re: Keyboard shortcuts", "Re: Keyboard shortcuts"},
             {"RE:re:  Re[2]: Keyboard", "Re: Keyboard"},
             {"Re[12]:x", "Re: x"},
             {"Re[]: kept", "Re: Re[]: kept"},
             {"Re[a]: kept", "Re: Re[a]: kept"},
             {"Regards", "Re: Regards"},
             {"Line\r\nInjected: yes\x7f", "Re: Line  Injected: yes "},
         })
        EXPECT_EQ(ReplySubject(subject), reply) << subject;
}

TEST(ReplyHeaders, ParentHeaderReadFoldedAnyCaseUpToTheBody) {
    const TParentHeaders parent = ReadParentHeaders(
        "message-id: <p@x>\r\nREFERENCES: <a@x>\r\n\t<b@x>\r\nSubject: s\r\n"
        "Newsgroups: one, two\r\nFollowup-To: three\r\n\r\nReferences: <body@x>\r\n");
    EXPECT_EQ(parent.MessageId, "<p@x>");
    EXPECT_EQ(parent.References, "<a@x> <b@x>");
    EXPECT_EQ(parent.Newsgroups, "one, two");
    EXPECT_EQ(parent.FollowupTo, "three");
    EXPECT_EQ(ArticleBodyOf("A: b\r\n\r\nbody\r\n"), "body\r\n");
    EXPECT_EQ(ArticleBodyOf("A: b\n\nbody"), "body");
    EXPECT_EQ(ArticleBodyOf("A: b\r\n"), "");
}

TEST(ReplyHeaders, ReferencesAddTheParentAndDropMalformedIdentifiers) {
    for (auto [references, messageId, expected] : {
             std::tuple{"", "<p@x>", "<p@x>"},
             {"<a@x> <b@x>", "<p@x>", "<a@x> <b@x> <p@x>"},
             {"<a@x> junk <no-at> <sp ace@x> <b@x>,<c@x>", " <p@x> ", "<a@x> <p@x>"},
             {"<a@x>", "", ""},
             {"<a@x>", "<bad", ""},
             {"<a@x>", "<p@x>\r\nX: y", ""},
         })
        EXPECT_EQ(ReplyReferences({messageId, references, "", ""}), expected) << references;
}

TEST(ReplyHeaders, LongReferencesKeepTheFirstAndTheLastThree) {
    std::string references;
    for (int i = 0; i < 60; ++i) references += "<" + std::to_string(i) + "-abcdefghij@x.example> ";
    const std::string value = ReplyReferences({"<parent@x>", references, "", ""});
    EXPECT_LE(("References: " + value).size(), kHeaderLineLimit);
    EXPECT_GT(("References: " + value).size(), kHeaderLineLimit - 30);  // only what must go
    EXPECT_TRUE(value.starts_with("<0-abcdefghij@x.example> <")) << value;
    EXPECT_TRUE(value.ends_with("<58-abcdefghij@x.example> <59-abcdefghij@x.example> <parent@x>"))
        << value;
    EXPECT_EQ(value.find("<1-abcdefghij@x.example>"), std::string::npos);
}

TEST(ReplyHeaders, GroupsFromFollowupToElseNewsgroups) {
    for (auto [newsgroups, followupTo, expected, byMail] : {
             std::tuple{"a.one, a.two", "", "a.one,a.two", false},
             {"a.one,a.two", "b.three", "b.three", false},
             {"a.one", "Poster", "a.one", true},
             {"a.one,bad\x1bname,,.dot", " ", "a.one", false},
             {"a.one", "bad!name", "a.one", false},
         }) {
        const TParentHeaders parent{"<p@x>", "", newsgroups, followupTo};
        EXPECT_EQ(ReplyNewsgroups(parent), expected) << newsgroups << " / " << followupTo;
        EXPECT_EQ(WantsMailReply(parent), byMail) << followupTo;
    }
}

}  // namespace
}  // namespace kestrova
