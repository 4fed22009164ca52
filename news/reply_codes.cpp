#include "news/reply_codes.h"

#include <algorithm>
#include <array>

#include "common/errors.h"

namespace kestrova {

namespace {

constexpr std::array kAccepted{kReplyPostingAllowed,
                               kReplyPostingProhibited,
                               kReplySlaveNoted,
                               kReplyClosing,
                               kReplyGroupSelected,
                               kReplyListFollows,
                               kReplyArticleFollows,
                               kReplyHeadFollows,
                               kReplyBodyFollows,
                               kReplyArticleSelected,
                               kReplyNewNewsFollows,
                               kReplyNewGroupsFollows,
                               kReplyArticleTransferred,
                               kReplyArticlePosted,
                               kReplySendArticleToTransfer,
                               kReplySendArticleToPost};
constexpr std::array kItemMissing{kReplyNoSuchGroup,       kReplyNoGroupSelected,
                                  kReplyNoCurrentArticle,  kReplyNoNextArticle,
                                  kReplyNoPreviousArticle, kReplyNoArticleWithNumber,
                                  kReplyNoArticleWithId,   kReplyArticleNotWanted};
constexpr std::array kRefusals{kReplyTransferFailed, kReplyPostingNotAllowed, kReplyPostingFailed,
                               kReplyUnknownCommand, kReplySyntaxError,       kReplyNotPermitted};

template <typename Codes>
bool Holds(const Codes& codes, int code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

int ReplyCodeOf(std::string_view line) {
    if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2]) ||
        (line.size() > 3 && line[3] != ' ')) {
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
    return code == kReplyServiceDiscontinued || code == kReplyProgramFault;
}

}  // namespace kestrova
