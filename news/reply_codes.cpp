#include "news/reply_codes.h"

#include <algorithm>
#include <array>

#include "common/errors.h"

namespace kestrova {

namespace {

constexpr std::array kAccepted{200, 201, 202, 205, 211, 215, 220, 221,
                               222, 223, 230, 231, 235, 240, 335, 340};
constexpr std::array kItemMissing{411, 412, 420, 421, 422, 423, 430, 435};
constexpr std::array kRefusals{437, 440, 441, 500, 501, 502};

template <typename Codes>
bool Holds(const Codes& codes, int code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

int ReplyCodeOf(std::string_view line) {
    if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2])) {
        return kNoStatusCode;
    }
    return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

uint32_t ReplyErrorClass(int code) {
    if (Holds(kAccepted, code)) return 0;
    if (Holds(kItemMissing, code)) return kItemFailure;
    if (Holds(kRefusals, code)) return kRefused;
    return kTransient;
}

bool ReplyClosesConnection(int code) {
    return code == 400 || code == 503;
}

}  // namespace kestrova
