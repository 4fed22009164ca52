#include "ui/message_box.h"

#include <gtest/gtest.h>

#include <cstring>

#include "fake_host.h"

namespace kestrova {
namespace {

using MessageBoxTest = testing::HostTest;
using Items = std::vector<std::string>;

TEST_F(MessageBoxTest, ShowMessagePassesLinesThenButtonTexts) {
    host.messageAnswers = {1};
    EXPECT_EQ(ShowMessage(FMSG_WARNING, {"Title", "body"}, {9, 2}), 1);
    ASSERT_EQ(host.messages.size(), 1u);
    const auto& call = host.messages[0];
    EXPECT_EQ(call.flags, FMSG_WARNING);
    EXPECT_EQ(call.helpTopic, nullptr);
    EXPECT_EQ(call.items, (Items{"Title", "body", "<9>", "<2>"}));
    EXPECT_EQ(call.buttons, 2);
}

TEST_F(MessageBoxTest, TextListEndsWithASeparatorAsLongAsTheLongestLine) {
    TStringList list;
    for (const char* line : {"Title", "a much longer line", "short"}) list.Add(line);
    host.messageAnswers = {0};
    EXPECT_EQ(ShowTextList(list, FMSG_LEFTALIGN), 0);
    const auto& call = host.messages[0];
    EXPECT_EQ(call.flags, FMSG_LEFTALIGN);
    EXPECT_EQ(call.items, (Items{"Title", "a much longer line", "short",
                                 std::string(18, static_cast<char>(196)), "<1>"}));
    EXPECT_EQ(call.buttons, 1);
}

TEST_F(MessageBoxTest, EmptyTextListShowsNothing) {
    EXPECT_EQ(ShowTextList(TStringList{}, 0), 0);
    EXPECT_TRUE(host.messages.empty());
}

class ConfirmDeleteTest : public testing::HostTest {
  protected:
    ConfirmDeleteTest() {
        host.texts[46] = "Delete %d items?";
        for (PluginPanelItem& item : items) item = PluginPanelItem{};
        std::strcpy(items[0].FindData.cFileName, "first.txt");
    }
    PluginPanelItem items[3];
};

TEST_F(ConfirmDeleteTest, OneItemShowsItsName) {
    host.messageAnswers = {0};
    EXPECT_EQ(ConfirmDelete(items, 1), 1);
    const auto& call = host.messages[0];
    EXPECT_EQ(call.flags, FMSG_WARNING);
    EXPECT_EQ(call.items, (Items{"<47>", "first.txt", "<9>", "<2>"}));
    EXPECT_EQ(call.buttons, 2);
}

TEST_F(ConfirmDeleteTest, SeveralItemsShowTheCount) {
    host.messageAnswers = {0};
    EXPECT_EQ(ConfirmDelete(items, 3), 1);
    EXPECT_EQ(host.messages[0].items[1], "Delete 3 items?");
}

TEST_F(ConfirmDeleteTest, OnlyTheFirstButtonGoesOn) {
    for (int answer : {1, -1}) {
        host.messageAnswers = {answer};
        EXPECT_EQ(ConfirmDelete(items, 3), 2) << answer;
    }
}

}  // namespace
}  // namespace kestrova
