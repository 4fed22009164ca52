#include "ui/composition.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "module_settings.h"
#include "ui/sender_address.h"

namespace kestrova {
namespace {

using testing::FakeHost;

// The composed headers and bodies show in the news_post_* script transcripts, which hide the
// date; here its weekday, and the outcomes that compose nothing.
TEST(Composition, DateHeaderLineInRfc5322Form) {
    EXPECT_EQ(DateHeaderLine({2026, 12, 0, 6, 4, 9, 3, 0}),
              "Date: Sun, 06 Dec 2026 04:09:03 +0000");
    EXPECT_EQ(DateHeaderLine({2026, 12, 1, 7, 7, 35, 47, 0}),
              "Date: Mon, 07 Dec 2026 07:35:47 +0000");
}

TEST(Composition, PostAsIsCancelAndEscWriteNoHeadersAndKeepTheSubject) {
    testing::ModuleSettings settings;
    for (auto [closing, outcome] :
         {std::pair{19, kPostAsIs}, {21, kPostCancel}, {-1, kPostCancel}}) {
        settings.host.dialogAnswers.push_back(FakeHost::Close(closing, {{5, "changed"}}));
        TPostInfo post;
        post.Subject = "kept";
        TMemoryStream headers;
        EXPECT_EQ(PostDialog("g", TStringList(), post, headers, {}), outcome);
        EXPECT_EQ(headers.Size(), 0);
        EXPECT_EQ(post.Subject, "kept");
    }
}

TEST(Composition, AuthorLinesNeverHoldAnEmptyAddressAndQuoteNamesThatNeedIt) {
    for (auto [name, replyTo, organization, expected] : {
             std::tuple{"Ann", "", "", "From: Ann <a@x>\r\nSubject: s\r\n"},
             {"", "r@x", "Org",
              "From: <a@x>\r\nReply-To: <r@x>\r\nOrganization: Org\r\n"
              "Subject: s\r\n"},
             {"Ann Q. Smith", "", "", "From: \"Ann Q. Smith\" <a@x>\r\nSubject: s\r\n"},
             {"A \"B\" \\C", "", "", "From: \"A \\\"B\\\" \\\\C\" <a@x>\r\nSubject: s\r\n"},
             {"Ann\r\nX-Forged: 1", "", "", "From: \"Ann  X-Forged: 1\" <a@x>\r\nSubject: s\r\n"},
         }) {
        TAccountOptions account;
        account.FromName = name;
        account.FromAddr = "a@x";
        account.ReplyTo = replyTo;
        account.Organization = organization;
        TPostInfo post;
        post.Subject = "s";
        EXPECT_EQ(AuthorHeaderLines(account, post), expected) << name;
    }
}

TEST(Composition, WithoutAnAddressPostingAsksForOneAndKeepsItOnRequest) {
    testing::ModuleSettings settings;
    TAccountOptions account;
    TPostInfo post;
    TMemoryStream headers;
    // Posted: a blank and a malformed address are asked again; the third is kept.
    settings.host.dialogAnswers.push_back(FakeHost::Close(18));
    for (const char* typed : {"", "ann@", "ann@example.org"})
        settings.host.dialogAnswers.push_back(FakeHost::Close(5, {{2, typed}}));
    EXPECT_EQ(ComposeHeaders(account, "g", TStringList(), post, headers), kPostComposed);
    EXPECT_EQ(account.FromAddr, "ann@example.org");
    EXPECT_EQ(Options.Default.FromAddr, "ann@example.org");
    EXPECT_NE(headers.ReadText().find("From: <ann@example.org>\r\n"), std::string::npos);

    // Cancelled: nothing is posted; not kept: the default account stays as it was.
    for (auto [closing, keep, outcome] : {std::tuple{6, 1, kPostCancel}, {5, 0, kPostComposed}}) {
        TAccountOptions other;
        settings.host.dialogAnswers.push_back(FakeHost::Close(18));
        settings.host.dialogAnswers.push_back(
            FakeHost::Close(closing, {{2, "bob@example.org"}}, {{3, keep}}));
        EXPECT_EQ(ComposeHeaders(other, "g", TStringList(), post, headers), outcome);
        EXPECT_EQ(headers.Size() == 0, outcome == kPostCancel);
        EXPECT_EQ(Options.Default.FromAddr, "ann@example.org");
    }
}

TEST(Composition, PlausibleAddresses) {
    for (auto [address, plausible] : {
             std::pair{"ann@example.org", true},
             {"a.b+c@x", true},
             {"", false},
             {"@x", false},
             {"ann@", false},
             {"ann", false},
             {"a b@x", false},
             {"<>", false},
             {"a@b@c", false},
             {"a@.x", false},
             {"a@x.", false},
             {"a\r\n@x", false},
         })
        EXPECT_EQ(IsPlausibleAddress(address), plausible) << address;
}

}  // namespace
}  // namespace kestrova
