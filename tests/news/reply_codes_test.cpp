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

}  // namespace
}  // namespace kestrova
