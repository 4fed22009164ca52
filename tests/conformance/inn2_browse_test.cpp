// Browsing a real news server on loopback, directly and through SOCKS 4 and 5, the way the panel
// does it: LIST and NEWGROUPS into the cached group list, entering a group (the HEAD/NEXT walk)
// and entering it again after new articles were posted (NEWNEWS only); read the modern way, by
// OVER into the index the HEAD and NEXT walk builds. Other tests post to the same group meanwhile,
// so counts are lower bounds, the numbers are checked instead, and indexes are compared up to the
// highest number both have.
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "conformance/inn2_session.h"
#include "news/article_index.h"
#include "news/group_list.h"
#include "news/list_block.h"

namespace kestrova::testing {
namespace {

std::set<intptr_t> Numbers(const std::vector<Listed>& listed) {
    std::set<intptr_t> numbers;
    for (const Listed& item : listed) numbers.insert(item.number);
    EXPECT_EQ(numbers.size(), listed.size()) << "an article is listed twice";
    return numbers;
}
// The item whose description (an article's Message-ID) is id; null when none.
const Listed* ByDescription(const std::vector<Listed>& listed, const std::string& id) {
    const auto item = std::find_if(listed.begin(), listed.end(),
                                   [&](const Listed& item) { return item.description == id; });
    return item == listed.end() ? nullptr : &*item;
}

// Each once: a group listed twice shows as a second copy.
const std::multiset<std::string> kTestGroups = {"kestrova.test", "kestrova.test.bench",
                                                "kestrova.test.koi8", "kestrova.test.moderated",
                                                "kestrova.test.readonly"};

class Inn2Browse : public Inn2Session {
  protected:
    // Asks the server for the test groups, as the all-groups view does on a reload; returns the
    // session log of the exchange.
    std::string ListTestGroups() {
        const size_t logStart = SessionLog().size();
        manager->ShowServerGroups("kestrova.test*");
        manager->SetReloadGroupList(true);
        std::multiset<std::string> names;
        for (const Listed& item : List()) names.insert(item.name);
        EXPECT_EQ(names, kTestGroups);
        EXPECT_FALSE(manager->ReloadGroupList());
        return SessionLog().substr(logStart);
    }

    TGroupRecord CachedGroup(const std::string& name) {
        TListBlock groups(TGroupRecord::kSize);
        EXPECT_TRUE(manager->Cache().Fetch(kGroupListKey, groups));
        bool found = false;
        const size_t at = FindGroup(groups, name, found);
        EXPECT_TRUE(found) << name << " is not in the cached list";
        return found ? TGroupRecord::Read(groups.Record(at)) : TGroupRecord{};
    }
    uint32_t CachedPosting(const std::string& name) {
        return CachedGroup(name).Flags & kPostingMask;
    }
};

TEST_P(Inn2Browse, ListFillsTheGroupListAndNewGroupsAddsOnlyWhatIsMissing) {
    ConnectTo(kReaderPort);
    EXPECT_NE(ListTestGroups().find("> LIST\r"), std::string::npos);
    const std::pair<const char*, uint32_t> postings[] = {
        {"kestrova.test", kPostingAllowed},
        {"kestrova.test.moderated", kPostingModerated},
        {"kestrova.test.readonly", kPostingNotAllowed},
        {"local.test.g07", kPostingAllowed},
    };
    for (const auto& [name, posting] : postings) EXPECT_EQ(CachedPosting(name), posting) << name;
    const TGroupRecord cached = CachedGroup(kTestGroup);
    const TNntpStatus group = Send("GROUP", kTestGroup);
    ASSERT_EQ(group.Code, 211);
    const GroupStatus status = ParseGroupStatus(group.Line);
    EXPECT_EQ(cached.First, status.low);
    EXPECT_LE(cached.Last, status.high);  // articles may have arrived since the LIST

    // A cached list from 2000 that knows one test group only.
    TListBlock old(TGroupRecord::kSize);
    SYSTEMTIME since{};
    since.wYear = 2000;
    since.wMonth = since.wDay = 1;
    old.SetStamp(since);
    TGroupRecord known;
    known.Name = kTestGroup;
    ASSERT_TRUE(InsertGroup(old, known));
    manager->Cache().Store(kGroupListKey, ListKind::Permanent, old);
    const std::string log = ListTestGroups();
    EXPECT_NE(log.find("> NEWGROUPS 000101 000000 GMT"), std::string::npos) << log;
    EXPECT_EQ(log.find("> LIST"), std::string::npos) << log;
    EXPECT_EQ(CachedPosting("kestrova.test.moderated"), kPostingModerated);
    EXPECT_EQ(CachedPosting("kestrova.test.readonly"), kPostingNotAllowed);
    // Asked again, the server has nothing newer: the list stays as it is.
    ListTestGroups();
}

TEST_P(Inn2Browse, EnteringWalksAgainAsksForNewNewsOnlyAndOverGivesTheWalksIndex) {
    const std::string& before = SharedSamples();
    Options.Connect.UseOverview = 0;
    ConnectTo(kReaderPort);
    manager->SetDirectory(kTestGroup);
    const GroupStatus status = ParseGroupStatus(manager->Connection().LastLine());
    const std::vector<Listed> walked = List();
    const std::set<intptr_t> walkedNumbers = Numbers(walked);
    EXPECT_GE(static_cast<long>(walked.size()), status.count);
    EXPECT_EQ(*walkedNumbers.begin(), status.low);
    const Listed* dots = ByDescription(walked, SampleId("dots", before));
    ASSERT_NE(dots, nullptr);
    EXPECT_EQ(dots->name, "Body lines starting with dots");
    EXPECT_NE(SessionLog().find("> NEXT"), std::string::npos);

    manager->SetDirectory("..");
    const std::string after = PostSamples();
    const size_t logStart = SessionLog().size();
    manager->SetDirectory(kTestGroup);
    const std::vector<Listed> again = List();
    const std::set<intptr_t> numbers = Numbers(again);
    for (intptr_t number : walkedNumbers) EXPECT_EQ(numbers.count(number), 1u) << number;
    for (const char* kind : {"ascii", "reply", "dots", "digits", "nolines", "crosspost"}) {
        const Listed* item = ByDescription(again, SampleId(kind, after));
        ASSERT_NE(item, nullptr) << kind;
        EXPECT_GT(item->number, *walkedNumbers.rbegin()) << kind << ": its number, from Xref";
    }
    EXPECT_EQ(ByDescription(again, SampleId("koi8", after)), nullptr);
    const std::string log = SessionLog().substr(logStart);
    EXPECT_NE(log.find("> NEWNEWS kestrova.test "), std::string::npos) << log;
    EXPECT_EQ(log.find("> NEXT"), std::string::npos) << log;

    // The overview gives the index of the walk (the dates compared, not Lines: the server counts
    // them for its overview, the walk takes only a Lines header).
    Options.Connect.UseOverview = 1;
    ConnectTo(kReaderPort);
    const size_t overviewStart = SessionLog().size();
    std::map<intptr_t, std::string> overview = Index(kTestGroup);
    EXPECT_NE(SessionLog().find("> OVER ", overviewStart), std::string::npos);
    EXPECT_EQ(SessionLog().find("> NEXT", overviewStart), std::string::npos);
    overview.erase(overview.upper_bound(*walkedNumbers.rbegin()), overview.end());
    EXPECT_EQ(overview, IndexOf(walked));
}

INSTANTIATE_TEST_SUITE_P(Routes, Inn2Browse, ::testing::ValuesIn(kRoutes), RouteName);

}  // namespace
}  // namespace kestrova::testing
