// Browsing a real news server on loopback, directly and through SOCKS 4 and 5, the way the panel
// does it: the first use without own groups, LIST and NEWGROUPS into the cached group list,
// entering a group (the HEAD/NEXT walk) and entering it again after new articles were posted
// (NEWNEWS only).
#include <algorithm>
#include <set>
#include <string>
#include <vector>

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

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i) names.emplace_back(items[i].FindData.cFileName);
        return names;
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

    // Asks the server for the groups matching mask, as the all-groups view does on a reload.
    void ListServerGroups(Listing& listing, const std::string& mask) {
        manager->GroupMask = mask;
        manager->SetState(NewsState::AllGroups);
        manager->ReloadGroupList = 1;
        List(listing);
        EXPECT_EQ(manager->ReloadGroupList, 0);
    }

    TGroupRecord CachedGroup(const std::string& name) {
        TListBlock groups(TGroupRecord::kSize);
        EXPECT_TRUE(FetchList(*manager, kGroupListKey, groups));
        bool found = false;
        const size_t at = FindGroup(groups, name, found);
        EXPECT_TRUE(found) << name << " is not in the cached list";
        return found ? TGroupRecord::Read(groups.Record(at)) : TGroupRecord{};
    }

    // The session log from offset on.
    std::string LogSince(size_t offset) const { return SessionLog().substr(offset); }
};

TEST_P(Inn2Browse, FirstUseListsNoOwnGroupsAndSaysSo) {
    ConnectTo(ReaderPort());
    std::vector<intptr_t> messages;
    manager->OnEvent = [&](int kind, intptr_t message, intptr_t) {
        if (kind == kEventMessageBox) messages.push_back(message);
        return 0;
    };
    Listing own;
    List(own);
    EXPECT_EQ(own.count, 0);
    EXPECT_EQ(messages, std::vector<intptr_t>{147});
}

TEST_P(Inn2Browse, ListFillsTheGroupListWithPostingValuesAndCounts) {
    ConnectTo(ReaderPort());
    Listing all;
    ListServerGroups(all, "kestrova.test*");
    const std::vector<std::string> names = all.Names();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), kTestGroups);
    EXPECT_NE(SessionLog().find("> LIST\r"), std::string::npos);

    const std::pair<const char*, uint32_t> postings[] = {
        {"kestrova.test", kPostingAllowed},
        {"kestrova.test.moderated", kPostingModerated},
        {"kestrova.test.readonly", kPostingNotAllowed},
    };
    for (const auto& [name, posting] : postings) {
        EXPECT_EQ(CachedGroup(name).Flags & kPostingMask, posting) << name;
    }
    EXPECT_EQ(CachedGroup("local.test.g07").Flags & kPostingMask, kPostingAllowed);

    const TGroupRecord cached = CachedGroup(kTestGroup);
    ASSERT_EQ(Send("GROUP", kTestGroup), 211);
    const GroupStatus status = ParseGroupStatus(manager->ReplyLine);
    EXPECT_EQ(cached.First, status.low);
    EXPECT_LE(cached.Last, status.high);  // articles may have arrived since the LIST
}

TEST_P(Inn2Browse, NewGroupsAddsOnlyTheGroupsMissingFromTheCachedList) {
    ConnectTo(ReaderPort());
    // A cached list from 2000 that knows one test group only.
    TListBlock old(TGroupRecord::kSize);
    SYSTEMTIME since{};
    since.wYear = 2000;
    since.wMonth = 1;
    since.wDay = 1;
    old.SetStamp(since);
    TGroupRecord known;
    known.Name = kTestGroup;
    ASSERT_TRUE(InsertGroup(old, known));
    StoreList(*manager, kGroupListKey, ListKind::Permanent, old);

    const size_t logStart = SessionLog().size();
    Listing first;
    ListServerGroups(first, "kestrova.test*");
    const std::vector<std::string> names = first.Names();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), kTestGroups);
    EXPECT_EQ(names.size(), kTestGroups.size()) << "a group is listed twice";
    const std::string log = LogSince(logStart);
    EXPECT_NE(log.find("> NEWGROUPS 000101 000000 GMT"), std::string::npos) << log;
    EXPECT_EQ(log.find("> LIST"), std::string::npos) << log;
    EXPECT_EQ(CachedGroup("kestrova.test.moderated").Flags & kPostingMask, kPostingModerated);
    EXPECT_EQ(CachedGroup("kestrova.test.readonly").Flags & kPostingMask, kPostingNotAllowed);

    // Asked again, the server has nothing newer: the list stays as it is.
    Listing second;
    ListServerGroups(second, "kestrova.test*");
    EXPECT_EQ(second.count, static_cast<int>(kTestGroups.size()));
}

TEST_P(Inn2Browse, EnteringWalksTheGroupAndEnteringAgainAsksOnlyForNewNews) {
    const std::string& before = SharedSamples();
    ConnectTo(ReaderPort());
    manager->SetDirectory(kTestGroup);
    const GroupStatus status = ParseGroupStatus(manager->ReplyLine);
    Listing walked;
    List(walked);
    EXPECT_EQ(walked.count, status.count);
    const PluginPanelItem* dots = walked.ByDescription(SampleId("dots", before));
    ASSERT_NE(dots, nullptr);
    EXPECT_STREQ(dots->FindData.cFileName, "Body lines starting with dots");
    EXPECT_GE(dots->UserData, status.low);
    EXPECT_LE(dots->UserData, status.high);
    EXPECT_NE(SessionLog().find("> NEXT"), std::string::npos);

    manager->SetDirectory("..");
    const std::string after = PostSamples();
    const size_t logStart = SessionLog().size();
    manager->SetDirectory(kTestGroup);
    Listing again;
    List(again);
    const char* const newInGroup[] = {"ascii", "reply", "dots", "digits", "nolines", "crosspost"};
    EXPECT_EQ(again.count, walked.count + static_cast<int>(std::size(newInGroup)));
    for (const char* kind : newInGroup) {
        const PluginPanelItem* item = again.ByDescription(SampleId(kind, after));
        ASSERT_NE(item, nullptr) << kind;
        EXPECT_GT(item->UserData, status.high) << kind << ": its number in the group, from Xref";
    }
    EXPECT_EQ(again.ByDescription(SampleId("koi8", after)), nullptr);
    const std::string log = LogSince(logStart);
    EXPECT_NE(log.find("> NEWNEWS kestrova.test "), std::string::npos) << log;
    EXPECT_EQ(log.find("> NEXT"), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(Routes, Inn2Browse, ::testing::ValuesIn(kRoutes), RouteName);

}  // namespace
}  // namespace kestrova::testing
