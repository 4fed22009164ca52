#include "ui/standard_dialogs.h"

#include <gtest/gtest.h>

#include <cstring>

#include "fake_host.h"

namespace kestrova {
namespace {

using testing::FakeHost;

class StandardDialogsTest : public testing::HostTest {
  protected:
    StandardDialogsTest() { host.texts[0] = ""; }
    const std::vector<FarDialogItem>& Shown() { return host.dialogs.at(0).items; }
};

// ---- InputDialog ----------------------------------------------------------------------------

TEST_F(StandardDialogsTest, InputAcceptsOnEnterAndKeepsTheValueOnEsc) {
    std::string value = "old";
    host.dialogAnswers = {FakeHost::Close(-1, {{2, "typed"}})};
    EXPECT_EQ(InputDialog("Title", "Prompt", value), 2);
    EXPECT_EQ(value, "old");

    host.dialogAnswers = {FakeHost::Close(1, {{2, "new name"}})};
    EXPECT_EQ(InputDialog("Title", "Prompt", value), 1);
    EXPECT_EQ(value, "new name");
}

// ---- LoginDialog ----------------------------------------------------------------------------

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

TEST_F(StandardDialogsTest, LoginFocusesThePasswordWhenTheUserIsKnown) {
    std::string user = "bob", password;
    host.dialogAnswers = {FakeHost::Close(-1)};
    LoginDialog("host", "KstrvName", user, password);
    const auto& items = Shown();
    ASSERT_EQ(items.size(), 9u);
    EXPECT_STREQ(items[0].Data, "host");
    EXPECT_STREQ(items[2].Data, "bob");
    EXPECT_STREQ(items[2].History, "KstrvName");
    EXPECT_TRUE(items[2].Flags & DIF_HISTORY);
    EXPECT_EQ(items[4].Focus, 1);
    EXPECT_EQ(items[2].Focus, 0);
    EXPECT_EQ(items[6].DefaultButton, 1);
}

// ---- CopyDialog, ArticleCopyDialog ----------------------------------------------------------

TEST_F(StandardDialogsTest, CopyTitlesAndPromptsByKind) {
    struct Case {
        int kind;  // 0 copy, 1 move, 2 articles
        const char* title;
        const char* prompt;
    };
    for (const Case& c :
         {Case{0, "<54>", "<56>"}, Case{1, "<55>", "<57>"}, Case{2, "<122>", "<123>"}}) {
        host.dialogs.clear();
        std::string path = "/tmp/out";
        host.dialogAnswers = {FakeHost::Close(-1)};
        if (c.kind == 2)
            ArticleCopyDialog(path);
        else
            CopyDialog(c.kind == 1, path);
        const auto& items = Shown();
        ASSERT_EQ(items.size(), 6u);
        EXPECT_STREQ(items[0].Data, c.title);
        EXPECT_STREQ(items[1].Data, c.prompt);
        EXPECT_STREQ(items[2].Data, "/tmp/out");
        EXPECT_EQ(items[2].Focus, 1);
        EXPECT_EQ(items[4].DefaultButton, 1);
    }
}

TEST_F(StandardDialogsTest, OnlyTheFirstCopyButtonAccepts) {
    struct Case {
        int closing;
        int result;
        const char* path;
    };
    for (const Case& c :
         {Case{4, 1, "/srv/news"}, Case{5, 2, "/tmp"}, Case{2, 2, "/tmp"}, Case{-1, 2, "/tmp"}}) {
        std::string path = "/tmp";
        host.dialogAnswers = {FakeHost::Close(c.closing, {{2, "/srv/news"}})};
        EXPECT_EQ(CopyDialog(false, path), c.result) << c.closing;
        EXPECT_EQ(path, c.path) << c.closing;
    }
}

// ---- FileExistsDialog -----------------------------------------------------------------------

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

TEST_F(FileExistsTest, HiddenOptionalButtonsBecomeEmptyTexts) {
    host.dialogAnswers = {FakeHost::Close(-1)};
    FileExistsDialog(source, existing, 32);
    const auto& items = Shown();
    EXPECT_EQ(items[8].Type, DI_TEXT);
    EXPECT_STREQ(items[8].Data, "");
    EXPECT_EQ(items[9].Type, DI_BUTTON);
    EXPECT_STREQ(items[9].Data, "<41>");
    EXPECT_EQ(items[10].Type, DI_TEXT);
    EXPECT_STREQ(items[10].Data, "");
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
        EXPECT_EQ(Shown()[0].X2, c.x2) << c.mask;
        EXPECT_EQ(host.dialogs[0].x2, c.x2 + 4) << c.mask;
    }
}

}  // namespace
}  // namespace kestrova
