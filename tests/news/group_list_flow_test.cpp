// The group list against the fixture news server: first use, the mask, LIST and NEWGROUPS with
// the stored stamp, refused lists, adding and dropping own groups, refresh and reload.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/errors.h"
#include "news/group_list.h"
#include "news/news_listing_fixture.h"
#include "news/scripted_socket.h"

namespace kestrova::testing {
namespace {

using Names = std::vector<std::string>;

class GroupListFlowTest : public NewsListingTest {
  protected:
    GroupListFlowTest() {
        server.AddGroup("comp.lang.c", "m");
        server.AddGroup("alt.binaries", "n");
        server.AddGroup("misc.misc");
    }

    // F7 in the own groups with mask typed at the prompt.
    void EnterMask(const std::string& mask) {
        host.dialogAnswers.push_back(FakeHost::Close(2, {{2, mask}}));
        Key(VK_F7, 0);
    }
    // Enter in the all groups on the named groups, answering the boxes with answers.
    void AddSelected(const Names& names, std::vector<int> answers) {
        for (int answer : answers) host.messageAnswers.push_back(answer);
        TKeyContext context = Selecting(names);
        int action = 0;
        manager->ProcessKey(VK_RETURN, 0, context, action);
    }
    bool Key(int key, unsigned control) {
        TKeyContext context;
        int action = 0;
        return manager->ProcessKey(key, control, context, action);
    }
    // Lists all groups once with LIST and makes names the own groups.
    void HaveOwnGroups(const Names& names) {
        EnterMask("*");
        List();
        AddSelected(names, {0});
        ASSERT_EQ(manager->State, NewsState::OwnGroups);
    }
    // The server reads its spool when it starts: restart it and reconnect.
    void Restart() {
        server.Stop();
        server.Start();
        manager->Account.Url.Port = server.Port();
        manager->ConnectHostDef();
    }
    // The group list as the account's cache file holds it.
    TListBlock FileList() {
        manager->WaitForCacheSave();
        TCache file(TCache::kUnlimited, 0);
        manager->LoadCache(file, "", "127.0.0.1", manager->CachePort());
        TListBlock list(TGroupRecord::kSize);
        std::vector<char> bytes;
        if (file.Get(".", bytes)) {
            EXPECT_TRUE(list.Assign(bytes));
        }
        return list;
    }
    TListBlock CachedList() {
        TListBlock list(TGroupRecord::kSize);
        std::vector<char> bytes;
        EXPECT_TRUE(manager->Cache->Get(".", bytes));
        EXPECT_TRUE(list.Assign(bytes));
        return list;
    }
};

TEST_F(GroupListFlowTest, FirstUseShowsNoGroupsAndSaysSo) {
    Open();
    EXPECT_TRUE(List().names.empty());
    EXPECT_TRUE(HadEvent(kEventMessageBox, 147));
    EXPECT_TRUE(server.ClientCommands().empty());
}

TEST_F(GroupListFlowTest, MaskListsWithListThenEnterMakesOwnGroups) {
    Open();
    EnterMask("ALT.*");
    EXPECT_EQ(manager->State, NewsState::AllGroups);
    EXPECT_EQ(manager->GetPath(), "ALT.*");

    const Listing all = List();
    EXPECT_EQ(server.ClientCommands(), Names{"LIST"});
    // In the order of the reply; new, and read-only for alt.binaries.
    EXPECT_EQ(all.names, (Names{"alt.test", "alt.binaries"}));
    EXPECT_EQ(all.attributes, (std::vector<uint32_t>{0x10, 0x11}));
    EXPECT_EQ(CachedList().Count(), 4u);
    EXPECT_TRUE(List().names.size() == 2);  // from the cache: no second LIST
    EXPECT_EQ(server.ClientCommands(), Names{"LIST"});

    AddSelected({"alt.test"}, {0});
    EXPECT_EQ(manager->State, NewsState::OwnGroups);
    EXPECT_EQ(manager->GetPath(), ".");
    const Listing own = List();
    EXPECT_EQ(own.names, Names{"alt.test"});
    EXPECT_EQ(own.columns[0], (Names{"1", "2"}));
}

TEST_F(GroupListFlowTest, MaskVariantsMeanEveryGroup) {
    Open();
    for (const char* typed : {"", "*.*", "*.", "."}) {
        EnterMask(typed);
        EXPECT_EQ(manager->GroupMask, "*") << typed;
        manager->SetState(NewsState::OwnGroups);
    }
}

TEST_F(GroupListFlowTest, AddingToExistingOwnGroupsReplacesOrAdds) {
    struct Case {
        const char* what;
        std::vector<int> answers;
        Names own;
        NewsState state;
    };
    const Case cases[] = {
        {"replace", {0, 0}, {"misc.misc"}, NewsState::OwnGroups},
        {"add", {0, 1}, {"alt.test", "misc.misc"}, NewsState::OwnGroups},
        {"stop", {0, 2}, {"alt.test"}, NewsState::AllGroups},
        {"declined", {1}, {"alt.test"}, NewsState::AllGroups},
    };
    Open();
    for (const Case& c : cases) {
        manager->Cache->Clear();
        HaveOwnGroups({"alt.test"});
        EnterMask("*");
        AddSelected({"misc.misc"}, c.answers);
        EXPECT_EQ(manager->State, c.state) << c.what;
        manager->SetState(NewsState::OwnGroups);
        EXPECT_EQ(List().names, c.own) << c.what;
    }
}

TEST_F(GroupListFlowTest, DroppingOwnGroupsAfterConfirmation) {
    Open();
    HaveOwnGroups({"alt.test", "misc.misc"});
    host.messageAnswers.push_back(1);  // declined
    TKeyContext declined = Selecting({"alt.test"});
    int action = 0;
    manager->ProcessKey(VK_F8, 0, declined, action);
    EXPECT_EQ(declined.Flags, 0u);
    EXPECT_EQ(List().names, (Names{"alt.test", "misc.misc"}));

    host.messageAnswers.push_back(0);
    TKeyContext confirmed = Selecting({"ALT.TEST"});
    manager->ProcessKey(VK_F8, 0, confirmed, action);
    EXPECT_NE(confirmed.Flags, 0u);
    EXPECT_EQ(List().names, Names{"misc.misc"});
    EXPECT_EQ(host.messages.back().items[1], "<102>");
}

TEST_F(GroupListFlowTest, NewGroupsSinceTheStoredStampInsertsOnlyNewNames) {
    Open();
    EnterMask("*");
    List();
    TListBlock list = CachedList();
    list.SetStamp(SYSTEMTIME{1999, 12, 0, 5, 10, 2, 3, 0});
    manager->Cache->Put(".", list.Bytes().data(), true, static_cast<uint32_t>(list.Bytes().size()));
    server.AddGroup("alt.new", "y", "2024-02-01T00:00:00Z");
    Restart();

    manager->ReloadGroupList = 1;
    const Listing listing = List();
    EXPECT_EQ(CommandsLike("NEWGROUPS"), Names{"NEWGROUPS 991205 100203 GMT"});
    // The cached groups, then the one inserted from the reply.
    EXPECT_EQ(listing.names,
              (Names{"alt.binaries", "alt.test", "comp.lang.c", "misc.misc", "alt.new"}));
    const TListBlock stored = CachedList();
    ASSERT_EQ(stored.Count(), 5u);
    EXPECT_EQ(TGroupRecord::Read(stored.Record(1)).Name, "alt.new");
    EXPECT_GE(stored.Stamp().wYear, 2024);
}

TEST_F(GroupListFlowTest, RefusedListIsSilentOnlyForUnsupportedCommands) {
    struct Case {
        const char* reply;
        uint32_t raised;  // 0: silent
    };
    const Case cases[] = {
        {"502 NEWGROUPS disabled", 0},
        {"500 What?", 0},
        {"505 Unknown", 0},
        {"480 Authentication required", 480 | kTransient},
        {"411 Weird", 411 | kItemFailure},
    };
    for (const Case& c : cases) {
        server.Stop();
        server.SetControls(std::string(R"({"rules": [{"command": "NEWGROUPS", "reply": ")") +
                           c.reply + "\"}]}");
        Open();
        manager->Cache->Clear();  // the file of the case before
        EnterMask("*");
        List();
        const size_t before = CachedList().Bytes().size();
        manager->ReloadGroupList = 1;
        if (c.raised == 0) {
            EXPECT_EQ(List().names.size(), 4u) << c.reply;
            EXPECT_EQ(manager->ReloadGroupList, 1) << c.reply;
        } else {
            try {
                List();
                ADD_FAILURE() << c.reply << " was accepted";
            } catch (const EInternetError& error) {
                EXPECT_EQ(error.Code, c.raised);
                EXPECT_EQ(error.ProcName, "GetGroupsInfo");
            }
        }
        EXPECT_EQ(CachedList().Bytes().size(), before) << c.reply;
        manager.reset();
    }
}

TEST_F(GroupListFlowTest, RefreshAsksForTheCountsOfOwnGroups) {
    server.SetControls(R"({"rules": [{"command": "GROUP", "args": "misc[.]misc", "nth": 1,
        "reply": "411 No such group misc.misc"}]})");
    Open();
    HaveOwnGroups({"alt.test", "misc.misc"});
    server.AddArticle(kTestGroup, 3, "Message-ID: <3@test>\r\nSubject: third\r\n\r\nbody\r\n");
    Restart();
    ASSERT_TRUE(Key('R', PKF_CONTROL));

    const Listing refreshed = List();
    EXPECT_EQ(CommandsLike("GROUP"), (Names{"GROUP alt.test", "GROUP misc.misc"}));
    EXPECT_EQ(refreshed.columns[0], (Names{"1", "3"}));
    // The refused refresh leaves misc.misc marked: the next listing asks again, alt.test not.
    List();
    EXPECT_EQ(CommandsLike("GROUP"),
              (Names{"GROUP alt.test", "GROUP misc.misc", "GROUP misc.misc"}));
}

// The LIST exchange dropped after every byte of the server's output: nothing crashes or hangs,
// the cache file holds a well-formed part of the list, and the retry on a new connection asks
// with LIST again and completes it.
TEST_F(GroupListFlowTest, ListDroppedAnywhereIsCompletedByTheRetry) {
    const Names all = {"alt.test", "comp.lang.c", "misc.misc"};
    const TServerScript whole{.replies = {Lines({"215 list", "alt.test 2 1 y", "comp.lang.c 0 1 m",
                                                 "misc.misc 5 3 y", "."})}};
    for (size_t drop = 0; drop < whole.OutputSize(); ++drop) {
        SCOPED_TRACE(drop);
        std::filesystem::remove_all(home.At("Cache"));
        TScriptedServer scripted({whole.CutAfterSent(drop), whole});
        manager = std::make_unique<TScriptedNewsManager>(scripted);
        try {
            manager->Connect(Account());
            EnterMask("*");
            List();
        } catch (const ESocketError&) {
            const TListBlock part = FileList();
            EXPECT_EQ(part.Stamp().wYear, 0);
            EXPECT_LE(part.Count(), all.size());
            manager->ConnectHostDef();
            if (manager->State != NewsState::AllGroups) EnterMask("*");
            EXPECT_EQ(List().names.size(), all.size());
        }
        EXPECT_EQ(scripted.Commands().back(), "LIST");
        const TListBlock stored = FileList();
        EXPECT_NE(stored.Stamp().wYear, 0);
        Names names;
        for (uint32_t i = 0; i < stored.Count(); ++i) {
            names.push_back(TGroupRecord::Read(stored.Record(i)).Name);
        }
        EXPECT_EQ(names, all);
        manager.reset();
    }
}

// A listing past the manager's limit (4,000,000 entries, lowered here) fails and closes the
// connection instead of growing: groups of LIST, articles of a walk, identifiers of NEWNEWS.
TEST_F(GroupListFlowTest, ListingsPastTheLimitFailAndClose) {
    const std::string group = Lines({"211 3 1 3 alt.test"});
    const std::string head = Lines({"221 1 <1@test>", "Message-ID: <1@test>", "."});
    struct Case {
        const char* what;
        std::vector<std::string> replies;
        const char* procName;
    };
    const Case cases[] = {
        {"LIST",
         {Lines({"215 list", "a.a 1 1 y", "a.b 1 1 y", "a.c 1 1 y", "."})},
         "GetGroupsInfo"},
        {"walk",
         {group, head, "223 2 <2@test>\r\n", head, "223 3 <3@test>\r\n", head},
         "GetArticlesInfo"},
        {"NEWNEWS",
         {group, head, "421 no next\r\n", group,
          Lines({"230 new", "<2@test>", "<3@test>", "<4@test>", "."})},
         "NewNews"},
    };
    Options.Connect.PipelineDepth = 1;  // the scripts answer one command at a time
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TScriptedServer scripted({{.replies = c.replies}});
        manager = std::make_unique<TScriptedNewsManager>(scripted);
        manager->ListLimit = 2;
        manager->Connect(Account());
        try {
            if (c.replies.size() == 1) {
                EnterMask("*");
            } else {
                manager->SetDirectory(kTestGroup);
            }
            if (c.replies.size() == 5) {
                List();
                manager->SetDirectory("..");
                manager->SetDirectory(kTestGroup);
            }
            List();
            ADD_FAILURE() << "no failure";
        } catch (const EInternetError& error) {
            EXPECT_EQ(error.Code, kRefused);
            EXPECT_EQ(error.ProcName, c.procName);
        }
        EXPECT_FALSE(manager->IsConnected());
        manager.reset();
        std::filesystem::remove_all(home.At("Cache"));
    }
}

// Groups named "." and ".." are ordinary folders whose item names the panel cannot take for its
// own folder or its parent; entering one asks for that group, also on reconnecting.
TEST_F(GroupListFlowTest, GroupsNamedLikeTheParentAreOrdinaryFolders) {
    const std::string entered = "211 1 1 1 ..\r\n";
    TScriptedServer scripted(
        {{.replies = {Lines({"215 list", ".. 1 1 y", "... 1 1 y", "."}), entered}},
         {.replies = {entered}}});
    manager = std::make_unique<TScriptedNewsManager>(scripted);
    manager->Connect(Account());
    EnterMask("*");
    EXPECT_EQ(List().names, (Names{" .", " .."}));
    AddSelected({" .."}, {0});
    EXPECT_EQ(List().names, Names{" .."});
    manager->SetDirectory(" ..");
    EXPECT_EQ(manager->GetPath(), "..");
    manager->Disconnect();
    manager->ConnectHostDef();
    EXPECT_EQ(manager->State, NewsState::InGroup);
    EXPECT_EQ(scripted.Commands(), (Names{"LIST", "GROUP ..", "GROUP .."}));
}

TEST_F(GroupListFlowTest, NameTooLongForTheRecordIsSkippedAndLogged) {
    const std::string longName = "alt." + std::string(125, 'x');
    server.AddGroup(longName);
    Open();
    EnterMask("*");
    EXPECT_EQ(List().names.size(), 4u);
    EXPECT_NE(SessionLog().find("skipped: " + longName), std::string::npos);
}

TEST_F(GroupListFlowTest, ReloadForgetsTheListAndAsksWithListAgain) {
    Open();
    HaveOwnGroups({"alt.test"});
    EnterMask("*");
    host.messageAnswers.push_back(0);
    host.dialogAnswers.push_back(FakeHost::Close(2, {{2, "misc.*"}}));
    ASSERT_TRUE(Key('R', PKF_CONTROL | PKF_ALT));
    EXPECT_EQ(List().names, Names{"misc.misc"});
    EXPECT_EQ(server.ClientCommands(), (Names{"LIST", "LIST"}));
    manager->SetState(NewsState::OwnGroups);
    EXPECT_TRUE(List().names.empty());  // the own-group flags went with the list
}

}  // namespace
}  // namespace kestrova::testing
