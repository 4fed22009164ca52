#include "news/reply_codes.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/errors.h"

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

TEST(ReplyCodesTest, EveryCodeFallsInItsClass) {
    const std::pair<std::vector<int>, uint32_t> table[] = {
        {{200, 201, 202, 205, 211, 215, 220, 221, 222, 223, 230, 231, 235, 240, 335, 340}, 0},
        {{411, 412, 420, 421, 422, 423, 430, 435}, kItemFailure},
        {{437, 440, 441, 500, 501, 502}, kRefused},
        {{400, 503, 436, 480, 481, 999, 100, 111, 199, 281, 381, 203, 300, 0, 504, 505},
         kTransient},
    };
    for (const auto& [codes, errorClass] : table) {
        for (int code : codes) EXPECT_EQ(ReplyErrorClass(code), errorClass) << code;
    }
}

TEST(ReplyCodesTest, OnlyServiceEndingCodesCloseTheConnection) {
    for (int code : {400, 503}) EXPECT_TRUE(ReplyClosesConnection(code)) << code;
    for (int code : {200, 205, 480, 500, 502, 999}) EXPECT_FALSE(ReplyClosesConnection(code));
}

}  // namespace
}  // namespace kestrova
