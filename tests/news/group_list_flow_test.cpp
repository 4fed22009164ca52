// The group list against a scripted server: long names, NEWGROUPS with the stored stamp, a LIST
// dropped anywhere and hostile listings.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/streams.h"
#include "news/group_list.h"
#include "news/news_session_fixture.h"
#include "ui/event_kinds.h"
#include "ui/message_numbers.h"

namespace kestrova::testing {
namespace {

const std::string kLongName = "alt." + std::string(125, 'x');
const std::string kList = Lines({"215 list", "alt.test 2 1 y", "comp.lang.c 0 1 m",
                                 kLongName + " 1 1 y", "misc.misc 5 3 y", "."});
const Names kAll = {"alt.test", "comp.lang.c", "misc.misc"};

class GroupListFlowTest : public NewsSessionTest {
  protected:
    // F7 in the own groups with mask typed at the prompt.
    void EnterMask(const std::string& mask) {
        host.dialogAnswers.push_back(FakeHost::Close(2, {{2, mask}}));
        Key(VK_F7, 0);
    }
    // Enter in the all groups on the named groups, confirmed.
    void AddSelected(const Names& names) {
        host.messageAnswers.push_back(0);
        Key(VK_RETURN, 0, names);
    }
    // The group list as the cache (or the account's cache file) holds it.
    TListBlock StoredList(bool file = false) {
        TCache loaded(TCache::kUnlimited, 0);
        if (file) {
            manager->Cache().WaitForSave();
            manager->Cache().Load(loaded, "", "127.0.0.1", CachePort(manager->Account()));
        }
        TListBlock list(TGroupRecord::kSize);
        std::vector<char> bytes;
        if ((file ? loaded : manager->Cache().Blocks()).Get(".", bytes)) {
            EXPECT_TRUE(list.Assign(bytes));
        }
        return list;
    }
};

Names NamesOf(const TListBlock& list) {
    Names names;
    for (uint32_t i = 0; i < list.Count(); ++i) {
        names.push_back(TGroupRecord::Read(list.Record(i)).Name);
    }
    return names;
}

// LIST skips names too long for a record; NEWGROUPS asks since the stamp of the stored list.
TEST_F(GroupListFlowTest, NewGroupsSinceTheStoredStampInsertsOnlyNewNames) {
    PlayScripts(
        {{.replies = {kList, Lines({"231 new", "misc.misc 5 3 y", "alt.new 1 1 y", "."})}}});
    EnterMask("*");
    List();
    EXPECT_NE(SessionLog().find("skipped: " + kLongName), std::string::npos);
    TListBlock list = StoredList();
    EXPECT_EQ(NamesOf(list), kAll);
    list.SetStamp(SYSTEMTIME{1999, 12, 0, 5, 10, 2, 3, 0});
    manager->Cache().Blocks().Put(".", std::move(list).TakeBytes(), true);
    manager->SetReloadGroupList(true);
    // The cached groups, then the one inserted from the reply.
    EXPECT_EQ(List().names, (Names{"alt.test", "comp.lang.c", "misc.misc", "alt.new"}));
    EXPECT_EQ(Sent("NEWGROUPS"), Names{"NEWGROUPS 991205 100203 GMT"});
    const TListBlock stored = StoredList();
    EXPECT_EQ(NamesOf(stored), (Names{"alt.new", "alt.test", "comp.lang.c", "misc.misc"}));
    EXPECT_GE(stored.Stamp().wYear, 2024);
}

// LIST dropped after every byte the server sends: a well-formed part of the list stays in the
// cache file, and the retry asks with LIST again and completes it.
TEST_F(GroupListFlowTest, ListDroppedAnywhereIsCompletedByTheRetry) {
    // Out of order, one name twice: the list is sorted, each name once (the first that came).
    const TServerScript whole{.replies = {Lines({"215 list", "misc.misc 5 3 y", "alt.test 2 1 y",
                                                 "comp.lang.c 0 1 m", "ALT.TEST 7 1 y", "."})}};
    for (size_t drop = 0; drop < whole.OutputSize(); ++drop) {
        SCOPED_TRACE(drop);
        manager.reset();  // its end saves the cache file
        std::filesystem::remove_all(home.At("Cache"));
        try {
            PlayScripts({{.replies = whole.replies, .dropAfterSent = drop}, whole});
            EnterMask("*");
            List();
        } catch (const ESocketError&) {
            const TListBlock part = StoredList(true);
            EXPECT_EQ(part.Stamp().wYear, 0);
            EXPECT_LE(part.Count(), kAll.size());
            manager->ConnectHostDef();
            if (manager->State() != NewsState::AllGroups) EnterMask("*");
            EXPECT_EQ(List().names.size(), kAll.size());
        }
        EXPECT_EQ(Sent().back(), "LIST");
        const TListBlock stored = StoredList(true);
        EXPECT_NE(stored.Stamp().wYear, 0);
        EXPECT_EQ(NamesOf(stored), kAll);
    }
}

// A listing past the limit (lowered here) fails and closes the connection instead of growing.
TEST_F(GroupListFlowTest, ListingsPastTheLimitFailAndClose) {
    const std::string group = "211 3 1 3 alt.test";
    const std::string head = Lines({"221 1 <1@test>", "Message-ID: <1@test>", "."});
    const std::tuple<const char*, Names> cases[] = {
        {"GetGroupsInfo", {Lines({"215 list", "a.a 1 1 y", "a.b 1 1 y", "a.c 1 1 y", "."})}},
        {"GetArticlesInfo", {group, head, "223 2 <2@test>", head, "223 3 <3@test>", head}},
        {"NewNews",
         {group, head, "421 no next", group,
          Lines({"230 new", "<2@test>", "<3@test>", "<4@test>", "."})}},
    };
    Options.Connect.PipelineDepth = 1;  // the scripts answer one command at a time
    for (const auto& [procName, replies] : cases) {
        SCOPED_TRACE(procName);
        manager.reset();  // its end saves the cache file
        std::filesystem::remove_all(home.At("Cache"));
        PlayScripts({{.replies = replies}});
        manager->SetListLimit(2);
        try {
            replies.size() == 1 ? EnterMask("*") : manager->SetDirectory(kTestGroup);
            if (replies.size() == 5) {
                List();
                ReEnter();
            }
            List();
            ADD_FAILURE() << "no failure";
        } catch (const EInternetError& error) {
            EXPECT_EQ(error.Code, kRefused);
            EXPECT_EQ(error.ProcName, procName);
        }
        EXPECT_FALSE(manager->IsConnected());
    }
}

// Groups named "." and ".." are ordinary folders, entered as such, also on reconnecting.
TEST_F(GroupListFlowTest, GroupsNamedLikeTheParentAreOrdinaryFolders) {
    const std::string entered = "211 1 1 1 ..";
    PlayScripts({{.replies = {Lines({"215 list", ".. 1 1 y", "... 1 1 y", "."}), entered}},
                 {.replies = {entered}}});
    EnterMask("*");
    EXPECT_EQ(List().names, (Names{" .", " .."}));
    AddSelected({" .."});
    EXPECT_EQ(List().names, Names{" .."});
    manager->SetDirectory(" ..");
    EXPECT_EQ(manager->GetPath(), "..");
    manager->Disconnect();
    manager->ConnectHostDef();
    EXPECT_EQ(manager->State(), NewsState::InGroup);
    EXPECT_EQ(Sent(), (Names{"CAPABILITIES", "LIST", "GROUP ..", "CAPABILITIES", "GROUP .."}));
}

// A stored list counting more groups than it holds is damaged: it never reads as "no groups yet"
// in silence, and the account's cache file that held it is kept aside and reported.
TEST_F(GroupListFlowTest, AStoredListWithAHugeCountIsKeptAsideAndReported) {
    PlayScripts({{}});
    std::vector<char> damaged(TListBlock::kHeaderSize + TGroupRecord::kSize, '\0');
    damaged[TListBlock::kStampSize + 3] = '\x7F';  // 2^31 - 1 groups and more
    manager->Cache().Blocks().Put(kGroupListKey, damaged, true);
    manager->Cache().Save(manager->Cache().Blocks(), "", "127.0.0.1",
                          CachePort(manager->Account()));
    std::vector<std::string> shown;
    manager->OnEvent = [&](int kind, intptr_t param1, intptr_t param2) {
        if (kind == kEventMessageBox && param1 == kMsgCacheKeptAside)
            shown.push_back(reinterpret_cast<const char*>(param2));
        return 0;
    };
    EXPECT_TRUE(List().names.empty());
    ASSERT_EQ(shown.size(), 1u);
    std::vector<char> bytes;
    EXPECT_FALSE(manager->Cache().Blocks().Get(kGroupListKey, bytes));
    TCache aside(TCache::kUnlimited, 0);
    TFileStream file(shown[0], 0);
    ASSERT_TRUE(aside.LoadFromStream(file));
    ASSERT_TRUE(aside.Get(kGroupListKey, bytes));
    EXPECT_EQ(bytes, damaged);
}

}  // namespace
}  // namespace kestrova::testing
