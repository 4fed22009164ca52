// The flat map of the thread order: exact and case-blind keys, across the eight-byte words the
// hash reads and the bytes just beside the letters, and a table that grows.
#include "news/flat_text_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrova::testing {
namespace {

TEST(FlatTextMapTest, CaseBlindKeysMatchOnlyByLetterCase) {
    struct Case {
        std::string Stored, Looked;
        bool Found;
    };
    const std::vector<Case> cases = {
        {"Topic", "TOPIC", true},
        {"abcdefgh", "ABCDEFGH", true},  // one whole word
        {"a long subject of many words", "A LONG SUBJECT OF MANY WORDS", true},
        {"azAZ", "AZaz", true},   // the first and last letters
        {"@[`{", "`{@[", false},  // the bytes beside them
        {"x@y", "x`y", false},
        {"\xC1\xDA", "\xE1\xFA", false},  // high bytes are not letters
        {"topic", "topics", false},
        {"", "", true},
    };
    for (const Case& c : cases) {
        TFlatTextMap<TCaseBlindText> map(1);
        bool added = false;
        map.Insert(c.Stored, 7, added);
        EXPECT_TRUE(added);
        const int32_t* found = map.Find(c.Looked);
        EXPECT_EQ(found != nullptr, c.Found) << c.Stored << " / " << c.Looked;
        if (c.Found && found != nullptr) {
            EXPECT_EQ(*found, 7);
            EXPECT_EQ(map.Insert(c.Looked, 8, added), 7);
            EXPECT_FALSE(added);
        }
    }
}

TEST(FlatTextMapTest, ExactKeysKeepTheirFirstValueAsTheTableGrows) {
    std::vector<std::string> keys;
    for (int i = 0; i < 5000; ++i) keys.push_back("<" + std::to_string(i) + "@Example.org>");
    TFlatTextMap<TExactText> map(16);
    bool added = false;
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(map.Insert(keys[i], static_cast<int32_t>(i), added), static_cast<int32_t>(i));
        EXPECT_TRUE(added);
    }
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(map.Insert(keys[i], -1, added), static_cast<int32_t>(i));
        EXPECT_FALSE(added);
        const int32_t* found = map.Find(keys[i]);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(*found, static_cast<int32_t>(i));
    }
    EXPECT_EQ(map.Find("<1@example.org>"), nullptr);
    EXPECT_EQ(map.Find("<5000@Example.org>"), nullptr);
}

}  // namespace
}  // namespace kestrova::testing
