#include "host/tui/field_history.h"

#include <gtest/gtest.h>

#include "platform/fresh_store.h"

namespace kestrova::host::tui {
namespace {

TEST(FieldHistory, NewestFirstWithoutDuplicatesAndBounded) {
    std::vector<std::string> history{"b", "a"};
    AddToHistory(history, "a");
    EXPECT_EQ(history, (std::vector<std::string>{"a", "b"}));
    AddToHistory(history, "");
    EXPECT_EQ(history.size(), 2u);
    for (int i = 0; i < 40; ++i) AddToHistory(history, std::to_string(i));
    ASSERT_EQ(history.size(), kHistoryLength);
    EXPECT_EQ(history.front(), "39");
    EXPECT_EQ(history.back(), std::to_string(40 - kHistoryLength));
}

TEST(FieldHistory, StoredListsReadBackInOrderAndReplaceTheOldOnes) {
    FreshStore store;
    EXPECT_TRUE(LoadHistory("KstrvLog").empty());
    ASSERT_TRUE(SaveHistory("KstrvLog", {"new.log", "old.log", "older.log"}));
    ASSERT_TRUE(SaveHistory("KstrvLog", {"new.log", "old.log"}));
    ASSERT_TRUE(SaveHistory("Odd\\Name", {"x"}));
    EXPECT_EQ(LoadHistory("kstrvlog"), (std::vector<std::string>{"new.log", "old.log"}));
    EXPECT_EQ(LoadHistory("Odd\\Name"), (std::vector<std::string>{"x"}));
}

}  // namespace
}  // namespace kestrova::host::tui
