// Browsing a real news server on loopback, directly and through SOCKS 4 and 5, the way the panel
// does it: LIST and NEWGROUPS into the cached group list, entering a group (the HEAD/NEXT walk)
// and entering it again after new articles were posted (NEWNEWS only). Other tests post to the
// same group meanwhile, so counts are lower bounds and the numbers are checked instead.
#include <set>
#include <string>

#include "conformance/inn2_session.h"
#include "news/article_index.h"
#include "news/group_list.h"
#include "news/list_block.h"
#include "ui/panel_items.h"

namespace kestrova::testing {
namespace {

// The panel items of one listing; freed with the object.
struct Listing {
    PluginPanelItem* items = nullptr;
    int count = 0;

    Listing() = default;
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;
    ~Listing() { FreePanelItems(items, count); }

    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (int i = 0; i < count; ++i) names.emplace(items[i].FindData.cFileName);
        EXPECT_EQ(names.size(), static_cast<size_t>(count)) << "a name is listed twice";
        return names;
    }
    std::set<intptr_t> Numbers() const {
        std::set<intptr_t> numbers;
        for (int i = 0; i < count; ++i) numbers.insert(items[i].UserData);
        EXPECT_EQ(numbers.size(), static_cast<size_t>(count)) << "an article is listed twice";
        return numbers;
    }
    // The item whose description (an article's Message-ID) is id; null when none.
    const PluginPanelItem* ByDescription(const std::string& id) const {
        for (int i = 0; i < count; ++i) {
            if (items[i].Description != nullptr && id == items[i].Description) return &items[i];
        }
        return nullptr;
    }
};

const std::set<std::string> kTestGroups = {"kestrova.test", "kestrova.test.bench",
                                           "kestrova.test.koi8", "kestrova.test.moderated",
                                           "kestrova.test.readonly"};

class Inn2Browse : public Inn2Session {
  protected:
    void List(Listing& listing) { manager->GetFindData(listing.items, listing.count); }

    // Asks the server for the test groups, as the all-groups view does on a reload; returns the
    // session log of the exchange.
    std::string ListTestGroups() {
        const size_t logStart = SessionLog().size();
        Listing listing;
        manager->ShowServerGroups("kestrova.test*");
        manager->SetReloadGroupList(true);
        List(listing);
        EXPECT_FALSE(manager->ReloadGroupList());
        EXPECT_EQ(listing.Names(), kTestGroups);
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

TEST_P(Inn2Browse, EnteringWalksTheGroupAndEnteringAgainAsksOnlyForNewNews) {
    const std::string& before = SharedSamples();
    Options.Connect.UseOverview = 0;
    ConnectTo(kReaderPort);
    manager->SetDirectory(kTestGroup);
    const GroupStatus status = ParseGroupStatus(manager->Connection().LastLine());
    Listing walked;
    List(walked);
    const std::set<intptr_t> walkedNumbers = walked.Numbers();
    EXPECT_GE(walked.count, status.count);
    EXPECT_EQ(*walkedNumbers.begin(), status.low);
    const PluginPanelItem* dots = walked.ByDescription(SampleId("dots", before));
    ASSERT_NE(dots, nullptr);
    EXPECT_STREQ(dots->FindData.cFileName, "Body lines starting with dots");
    EXPECT_NE(SessionLog().find("> NEXT"), std::string::npos);

    manager->SetDirectory("..");
    const std::string after = PostSamples();
    const size_t logStart = SessionLog().size();
    manager->SetDirectory(kTestGroup);
    Listing again;
    List(again);
    const std::set<intptr_t> numbers = again.Numbers();
    for (intptr_t number : walkedNumbers) EXPECT_EQ(numbers.count(number), 1u) << number;
    for (const char* kind : {"ascii", "reply", "dots", "digits", "nolines", "crosspost"}) {
        const PluginPanelItem* item = again.ByDescription(SampleId(kind, after));
        ASSERT_NE(item, nullptr) << kind;
        EXPECT_GT(item->UserData, *walkedNumbers.rbegin()) << kind << ": its number, from Xref";
    }
    EXPECT_EQ(again.ByDescription(SampleId("koi8", after)), nullptr);
    const std::string log = SessionLog().substr(logStart);
    EXPECT_NE(log.find("> NEWNEWS kestrova.test "), std::string::npos) << log;
    EXPECT_EQ(log.find("> NEXT"), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(Routes, Inn2Browse, ::testing::ValuesIn(kRoutes), RouteName);

}  // namespace
}  // namespace kestrova::testing
