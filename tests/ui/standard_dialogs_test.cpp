#include "ui/standard_dialogs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

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
    // Anonymous (7) empties both fields.
    for (auto [closing, result, entered] :
         {std::tuple{6, 1, "alice secret"}, {7, 1, " "}, {8, 2, "bob pw"}, {-1, 2, "bob pw"}}) {
        std::string user = "bob", password = "pw";
        host.dialogAnswers = {FakeHost::Close(closing, {{2, "alice"}, {4, "secret"}})};
        EXPECT_EQ(LoginDialog("news.example", "KstrvName", user, password), result) << closing;
        EXPECT_EQ(user + " " + password, entered) << closing;
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
    for (auto [closing, forAll, result] : {std::tuple{7, 0, 1u},
                                           {8, 0, 16u},
                                           {9, 0, 32u},
                                           {10, 0, 4u},
                                           {11, 0, 2u},
                                           {12, 0, 8u},
                                           {-1, 0, 8u},
                                           {7, 1, 0x1001u},
                                           {11, 1, 0x1002u},
                                           {-1, 1, 0x1008u}}) {
        host.dialogAnswers = {FakeHost::Close(closing, {}, {{6, forAll}})};
        EXPECT_EQ(FileExistsDialog(source, existing, 16 | 32 | 4), result)
            << closing << " " << forAll;
    }
}

TEST_F(FileExistsTest, FrameWidensForLongButtonTextsOnly) {
    // Every button text (the fixed 11, 10, 2 and the optional ones) of one length: with 20,
    // 3 * 20 + 12 + 10 = 82 with no optional button, and each shown one adds 24.
    for (auto [length, mask, x2] :
         {std::tuple{20, 0u, 82}, {20, 16u, 106}, {20, 16u | 32 | 4, 154}, {1, 16u | 32 | 4, 56}}) {
        for (int msg : {11, 40, 41, 43, 10, 2}) host.texts[msg] = std::string(length, 'b');
        host.dialogs.clear();
        host.dialogAnswers = {FakeHost::Close(-1)};
        FileExistsDialog(source, existing, mask);
        EXPECT_EQ(host.dialogs[0].items[0].X2, x2) << mask;
        EXPECT_EQ(host.dialogs[0].x2, x2 + 4) << mask;
    }
}

}  // namespace
}  // namespace kestrova
