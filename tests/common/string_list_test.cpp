#include "common/string_list.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "common/raised.h"

namespace kestrova {
namespace {

std::vector<std::string> Items(const TStringList& list) {
    std::vector<std::string> items;
    for (int i = 0; i < list.Count(); ++i) items.push_back(list[i]);
    return items;
}

TEST(StringList, OutOfBoundsRaisesInRange) {
    TStringList list;
    list.Add("a");
    list.Add("b");
    const std::vector<std::function<void()>> operations = {
        [&] { list.Get(2); },         [&] { list.Get(-1); },    [&] { list.Put(2, "x"); },
        [&] { list.Delete(2); },      [&] { list.Delete(-1); }, [&] { list.Insert(-1, "x"); },
        [&] { TStringList().Get(0); }};
    for (size_t i = 0; i < operations.size(); ++i) {
        EXPECT_EQ(Raised(operations[i]),
                  "EStringListError 0x10000000 InRange: List index out of bounds")
            << "operation " << i;
    }
    EXPECT_EQ(Items(list), (std::vector<std::string>{"a", "b"}));
}

// The text joins the items with CR LF after each.
TEST(StringList, InsertPutDeleteAndText) {
    TStringList list;
    EXPECT_EQ(list.Text(), "");
    EXPECT_EQ(list.Add("b"), 0);
    list.Insert(0, "a");
    list.Insert(99, "d");  // beyond the end appends
    list.Insert(2, "c");
    EXPECT_EQ(Items(list), (std::vector<std::string>{"a", "b", "c", "d"}));
    list.Put(1, "B");
    list.Delete(0);
    list.Delete(2);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"B", "c"}));
    EXPECT_EQ(list.Add(""), 2);
    EXPECT_EQ(list.Text(), "B\r\nc\r\n\r\n");
}

TEST(StringList, TextSplitsAtEveryLineEnd) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"one", {"one"}},
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a\r\n", {"a"}},
        {"\n\n", {"", ""}},
        {"a\n\r b", {"a", "", " b"}},  // LF CR is two line ends
        {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
    };
    for (const Case& c : cases) {
        TStringList list;
        list.Add("old");
        list.SetText(c.text);
        EXPECT_EQ(Items(list), c.lines) << "text: " << c.text;
    }
}

}  // namespace
}  // namespace kestrova
