#include "ui/standard_dialogs.h"

#include <gtest/gtest.h>

#include <cstring>

#include "fake_host.h"

namespace kestrova {
namespace {

using testing::FakeHost;

// The dialogs as shown, and their usual answers, are checked by the script transcripts; here
// every other way of closing them.
class StandardDialogsTest : public testing::HostTest {
  protected:
    StandardDialogsTest() { host.texts[0] = ""; }
};

TEST_F(StandardDialogsTest, LoginResultsByClosingButton) {
    struct Case {
        int closing;
        int result;
        std::string user, password;
    };
    for (const Case& c : {Case{6, 1, "alice", "secret"}, Case{7, 1, "", ""},
                          Case{8, 2, "bob", "pw"}, Case{-1, 2, "bob", "pw"}}) {
        std::string user = "bob", password = "pw";
        host.dialogAnswers = {FakeHost::Close(c.closing, {{2, "alice"}, {4, "secret"}})};
        EXPECT_EQ(LoginDialog("news.example", "KstrvName", user, password), c.result) << c.closing;
        EXPECT_EQ(user, c.user) << c.closing;
        EXPECT_EQ(password, c.password) << c.closing;
    }
}

TEST_F(StandardDialogsTest, OnlyTheFirstCopyButtonAccepts) {
    for (auto [closing, result] : {std::pair{4, 1}, {5, 2}, {2, 2}, {-1, 2}}) {
        std::string path = "/tmp";
        host.dialogAnswers = {FakeHost::Close(closing, {{2, "/srv/news"}})};
        EXPECT_EQ(CopyDialog(false, path), result) << closing;
        EXPECT_EQ(path, result == 1 ? "/srv/news" : "/tmp") << closing;
    }
}

class FileExistsTest : public StandardDialogsTest {
  protected:
    FileExistsTest() {
        host.texts[44] = "new %d %s %s";
        host.texts[45] = "old %d %s %s";
        std::strcpy(source.cFileName, "article.txt");
        source.nFileSizeLow = 1234;
        existing.nFileSizeLow = 99;
    }
    WIN32_FIND_DATA source{};
    WIN32_FIND_DATA existing{};
};

TEST_F(FileExistsTest, ResultBitsByClosingItemAndCheckBox) {
    struct Case {
        int closing;
        int forAll;
        unsigned result;
    };
    for (const Case& c : {Case{7, 0, 1}, Case{8, 0, 16}, Case{9, 0, 32}, Case{10, 0, 4},
                          Case{11, 0, 2}, Case{12, 0, 8}, Case{-1, 0, 8}, Case{7, 1, 0x1001},
                          Case{11, 1, 0x1002}, Case{-1, 1, 0x1008}}) {
        host.dialogAnswers = {FakeHost::Close(c.closing, {}, {{6, c.forAll}})};
        EXPECT_EQ(FileExistsDialog(source, existing, 16 | 32 | 4), c.result)
            << c.closing << " " << c.forAll;
    }
}

TEST_F(FileExistsTest, FrameWidensForLongButtonTextsOnly) {
    struct Case {
        int length;  // of every button text: the fixed 11, 10, 2 and the optional ones
        unsigned mask;
        int x2;
    };
    // 3 * 20 + 12 + 10 = 82 with no optional button; each shown one adds 24.
    for (Case c : {Case{20, 0, 82}, Case{20, 16, 106}, Case{20, 16 | 32 | 4, 154},
                   Case{1, 16 | 32 | 4, 56}}) {
        for (int msg : {11, 40, 41, 43, 10, 2}) host.texts[msg] = std::string(c.length, 'b');
        host.dialogs.clear();
        host.dialogAnswers = {FakeHost::Close(-1)};
        FileExistsDialog(source, existing, c.mask);
        EXPECT_EQ(host.dialogs[0].items[0].X2, c.x2) << c.mask;
        EXPECT_EQ(host.dialogs[0].x2, c.x2 + 4) << c.mask;
    }
}

}  // namespace
}  // namespace kestrova
