// The thread order: trees from References, replies joined by subject, missing parents, and
// hostile References (cycles, self-references, duplicate identifiers, damage) that must neither
// loop nor recurse without bound.
#include "news/thread_order.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace kestrova::testing {
namespace {

struct Article {
    std::string Id;  // without the angle brackets
    std::string Subject;
    std::string References;
};

// The order as "id .reply ..its-reply / next-thread": one dot per level of depth, a slash
// between threads.
std::string Ordered(const std::vector<Article>& articles) {
    std::vector<std::string> ids;
    std::vector<TThreadArticle> input;
    for (const Article& a : articles) ids.push_back(a.Id.empty() ? "" : "<" + a.Id + ">");
    for (size_t i = 0; i < articles.size(); ++i) {
        input.push_back({ids[i], articles[i].Subject, articles[i].References});
    }
    std::string shown;
    uint32_t thread = 0;
    for (const TThreadPlace& place : ThreadOrder(input)) {
        if (!shown.empty()) shown += place.Thread != thread ? " / " : " ";
        thread = place.Thread;
        shown += std::string(place.Depth, '.');
        const Article& article = articles.at(place.Index);
        shown += article.Id.empty() ? "#" + std::to_string(place.Index) : article.Id;
    }
    return shown;
}

struct OrderCase {
    const char* Name;
    std::vector<Article> Articles;  // in the plain listing's order (by number)
    const char* Expected;
};

TEST(ThreadOrderTest, OrdersEachCaseByThread) {
    const OrderCase cases[] = {
        {"unrelated articles keep their order",
         {{"a", "One", ""}, {"b", "Two", ""}, {"c", "Three", ""}},
         "a / b / c"},
        // Five articles: a reply crossposted from another group (its parent is here), and two
        // replies to an article this group lacks, which still stand together under the top.
        {"five with a crosspost and a missing parent",
         {{"top", "Cache folder", ""},
          {"other", "Something else", ""},
          {"gone-1", "Re: Cache folder", "<top> <missing>"},
          {"cross", "Re: Cache folder", "<top>"},
          {"deep", "Re: Cache folder", "<top> <cross>"},
          {"gone-2", "Re: Cache folder", "<top> <missing>"}},
         "top .gone-1 .gone-2 .cross ..deep / other"},
        {"a missing top groups its children at depth 0",
         {{"x", "Alone", ""},
          {"r1", "Re: Lost", "<lost>"},
          {"y", "Alone too", ""},
          {"r2", "Re: Lost", "<lost>"},
          {"r3", "Re: Lost", "<lost> <r1>"}},
         "x / r1 .r3 r2 / y"},
        {"the top comes first though a reply has a lower number",
         {{"early", "Re: Late top", "<late>"}, {"x", "Other", ""}, {"late", "Late top", ""}},
         "late .early / x"},
        {"a missing link between ancestors is taken from a reply's References",
         {{"a", "A", ""}, {"c", "Re: A", "<a> <b>"}, {"b", "Re: A", ""}},
         "a .b ..c"},
        {"subjects join replies without References, any case, Re[2]: and Re: Re:",
         {{"r1", "RE: Topic", ""},
          {"other", "Other", ""},
          {"top", "Topic", ""},
          {"r2", "Re[2]: topic ", ""},
          {"r3", "Re: Re:Topic", ""},
          {"fresh", "Topic", ""}},
         "top .r1 .r2 .r3 / other / fresh"},
        {"a reply without References joins a top that is a reply itself",
         {{"r1", "Re: Orphan", ""}, {"r2", "Re: Orphan", ""}},
         "r1 .r2"},
        {"References win over the subject",
         {{"a", "Topic", ""}, {"b", "Topic two", ""}, {"c", "Re: Topic", "<b>"}},
         "a / b .c"},
        {"empty subjects join nothing",
         {{"a", "", ""}, {"b", "Re:", ""}, {"c", "Re: ", ""}},
         "a / b / c"},
        {"a duplicate Message-ID names its first article",
         {{"d", "First", ""}, {"d", "Second", ""}, {"r", "Re: First", "<d>"}},
         "d .r / d"},
        {"articles without a Message-ID are listed too",
         {{"", "First", ""}, {"a", "Re: First", ""}, {"", "Re: Other", "<a>"}},
         "#0 .a ..#2"},
        {"two articles naming each other", {{"a", "A", "<b>"}, {"b", "B", "<a>"}}, "a .b"},
        {"an article naming itself", {{"a", "A", "<a>"}, {"b", "Re: A", "<a> <b>"}}, "a .b"},
        {"References that close a cycle among missing articles",
         {{"a", "A", "<x> <y>"}, {"b", "B", "<y> <x>"}},
         "a b"},
        {"a cycle through three articles",
         {{"a", "A", "<c>"}, {"b", "B", "<a>"}, {"c", "C", "<b>"}},
         "a .b ..c"},
        {"damaged References are skipped",
         {{"a", "A", ""},
          {"b", "B", "<<a> <> a> <a b> <" + std::string(300, 'z') + "> <a"},
          {"c", "C", "garbage without brackets"}},
         "a .b / c"},
    };
    for (const OrderCase& c : cases) {
        EXPECT_EQ(Ordered(c.Articles), c.Expected) << c.Name;
    }
}

TEST(ThreadOrderTest, BaseSubjectStripsReplyPrefixes) {
    const struct {
        const char* Subject;
        const char* Base;
        bool Reply;
    } cases[] = {
        {"Topic", "Topic", false},
        {"  Topic  ", "Topic", false},
        {"Re: Topic", "Topic", true},
        {"re:Topic", "Topic", true},
        {"RE : Topic", "RE : Topic", false},
        {"Re[12]: Re: Topic", "Topic", true},
        {"Re[]: Topic", "Re[]: Topic", false},
        {"Re[2 Topic", "Re[2 Topic", false},
        {"Reply: Topic", "Reply: Topic", false},
        {"Re: ", "", true},
        {"Re", "Re", false},
    };
    for (const auto& c : cases) {
        bool reply = !c.Reply;
        EXPECT_EQ(BaseSubject(c.Subject, reply), c.Base) << c.Subject;
        EXPECT_EQ(reply, c.Reply) << c.Subject;
    }
}

TEST(ThreadOrderTest, ReferenceIdsKeepTheNearestAncestors) {
    std::string many;
    for (int i = 0; i < 12; ++i) many += "<" + std::to_string(i) + "> ";
    const struct {
        std::string References;
        std::vector<std::string> Ids;
    } cases[] = {
        {"", {}},
        {"<a@b>", {"<a@b>"}},
        {" <a@b>\t<c@d>\r\n <e@f> ", {"<a@b>", "<c@d>", "<e@f>"}},
        {"<a@b><c@d>", {"<a@b>", "<c@d>"}},
        {"<a b> <> <<c@d> <e", {"<c@d>"}},
        {"<" + std::string(kMaxMessageIdLength - 2, 'x') + ">",
         {"<" + std::string(kMaxMessageIdLength - 2, 'x') + ">"}},
        {"<" + std::string(kMaxMessageIdLength - 1, 'x') + ">", {}},
        {many, {"<4>", "<5>", "<6>", "<7>", "<8>", "<9>", "<10>", "<11>"}},
    };
    for (const auto& c : cases) {
        const std::vector<std::string_view> ids = ReferenceIds(c.References);
        EXPECT_EQ(std::vector<std::string>(ids.begin(), ids.end()), c.Ids) << c.References;
    }
}

// Long chains and long cycles: a recursive walk or a cycle check per link would overflow the
// stack or take quadratic time here.
TEST(ThreadOrderTest, LongChainsAndCyclesEndWithEveryArticleOnce) {
    constexpr uint32_t kCount = 100'000;
    std::vector<std::string> ids, references;
    for (uint32_t i = 0; i < kCount; ++i) ids.push_back("<" + std::to_string(i) + "@x>");
    for (uint32_t i = 0; i < kCount; ++i) references.push_back(ids[(i + kCount - 1) % kCount]);
    const struct {
        const char* Name;
        bool Closed;  // the first article names the last one: one cycle through all
    } cases[] = {{"chain", false}, {"cycle", true}};
    for (const auto& c : cases) {
        std::vector<TThreadArticle> articles;
        for (uint32_t i = 0; i < kCount; ++i) {
            articles.push_back(
                {ids[i], "Deep", i == 0 && !c.Closed ? std::string_view() : references[i]});
        }
        const std::vector<TThreadPlace> places = ThreadOrder(articles);
        ASSERT_EQ(places.size(), kCount) << c.Name;
        std::vector<bool> seen(kCount, false);
        for (uint32_t at = 0; at < kCount; ++at) {
            ASSERT_FALSE(seen[places[at].Index]) << c.Name;
            seen[places[at].Index] = true;
            EXPECT_EQ(places[at].Depth, at) << c.Name;
            EXPECT_EQ(places[at].Thread, 0u) << c.Name;
        }
    }
}

}  // namespace
}  // namespace kestrova::testing
