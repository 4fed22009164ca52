#include "news/reply_codes.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(ReplyCodesTest, CodeIsTheFirstThreeDigits) {
    const std::pair<const char*, int> cases[] = {
        {"200 server ready", 200},
        {"211 5 1 5 alt.test", 211},
        {"480", 480},
        {"000 odd", 0},
        {"2000", 200},
        {"20", kNoStatusCode},
        {"", kNoStatusCode},
        {" 200 ok", kNoStatusCode},
        {"2x0 ok", kNoStatusCode},
        {"ok 200", kNoStatusCode},
        {"-12 x", kNoStatusCode},
    };
    for (const auto& [line, code] : cases) EXPECT_EQ(ReplyCodeOf(line), code) << line;
}

TEST(ReplyCodesTest, OnlyServiceEndingCodesCloseTheConnection) {
    for (int code : {400, 503}) EXPECT_TRUE(ReplyClosesConnection(code)) << code;
    for (int code : {200, 205, 480, 500, 502, 999}) EXPECT_FALSE(ReplyClosesConnection(code));
}

TEST(ReplyCodesTest, ClassTestsSplitAtTheirBoundaries) {
    struct Case {
        int code;
        bool succeeded, asksForMore, unsupported;
    };
    const Case cases[] = {
        {100, true, false, false},  {299, true, false, false},  {300, false, true, false},
        {381, false, true, false},  {399, false, true, false},  {400, false, false, false},
        {499, false, false, false}, {500, false, false, true},  {505, false, false, true},
        {506, false, false, false}, {999, false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReplySucceeded(c.code), c.succeeded) << c.code;
        EXPECT_EQ(ReplyAsksForMore(c.code), c.asksForMore) << c.code;
        EXPECT_EQ(ReplyCommandUnsupported(c.code), c.unsupported) << c.code;
    }
}

}  // namespace
}  // namespace kestrova
