// Commands sent ahead of their replies: the manager keeps the lines in the order they went out
// and reads the replies in that order.
#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "common/errors.h"
#include "news/news_internet_manager.h"
#include "news/reply_codes.h"

namespace kestrova {
namespace {

// The replies of ARTICLE, HEAD and BODY that the article's text follows.
bool AnnouncesArticleText(int code) {
    return code == kReplyArticleFollows || code == kReplyHeadFollows || code == kReplyBodyFollows;
}

}  // namespace

void TNewsInternetManager::SendAhead(const std::string& command, const std::string& argument,
                                     int level) {
    std::string line = argument.empty() ? command : command + " " + argument;
    Socket->HoldLine(line);  // goes out with the next read, beside the commands held before it
    WriteLog(level, "> " + line);
    ahead_.push_back({std::move(line), level});
}

int TNewsInternetManager::ReadAheadReply(int flags) {
    if (ahead_.empty()) {
        RaiseError(kItemFailure, "No command is waiting for its reply", "ReadAheadReply");
    }
    const AheadCommand oldest = ahead_.front();
    ahead_.pop_front();
    int code = WaitReply(*Socket, oldest.level, "SendCommand", flags | kKeepReply);
    if (code == kReplyLoginRequired) {
        // The commands after it were sent without the login too: all go out again after it.
        std::vector<AheadCommand> again{oldest};
        again.insert(again.end(), ahead_.begin(), ahead_.end());
        DiscardAheadReplies();
        if (LogInOnDemand(flags)) {
            for (const AheadCommand& command : again) SendAhead(command.line, "", command.level);
            ahead_.pop_front();
            code = WaitReply(*Socket, oldest.level, "SendCommand", flags | kKeepReply);
        }
        if (code == kReplyLoginRequired && (flags & kKeepReply) == 0) {
            RaiseError(static_cast<uint32_t>(code) | kRefused, ReplyLine, "SendCommand");
        }
    }
    if ((flags & kKeepReply) == 0) CheckReply("SendCommand");
    return code;
}

void TNewsInternetManager::DiscardAheadReplies(size_t count) {
    try {
        for (; count > 0 && !ahead_.empty(); --count) {
            const int level = ahead_.front().level;
            ahead_.pop_front();
            if (!AnnouncesArticleText(WaitReply(*Socket, level, "SendCommand", kKeepReply))) {
                continue;
            }
            std::string line;
            DataLine kind;
            while ((kind = ReadDataLine(*Socket, line)) == DataLine::Data) {
            }
            if (kind == DataLine::Lost) RaiseConnectionLost("SendCommand");
        }
    } catch (...) {
        // Where the replies that are left begin can no longer be told.
        ahead_.clear();
        Socket->SocketClose();
        throw;
    }
}

bool TNewsInternetManager::DropAheadUntil(const std::string& line) {
    const auto at = std::find_if(ahead_.begin(), ahead_.end(),
                                 [&](const AheadCommand& command) { return command.line == line; });
    const bool found = at != ahead_.end();
    DiscardAheadReplies(static_cast<size_t>(std::distance(ahead_.begin(), at)));
    return found;
}

bool TNewsInternetManager::IsAhead(const std::string& line) const {
    return std::any_of(ahead_.begin(), ahead_.end(),
                       [&](const AheadCommand& command) { return command.line == line; });
}

}  // namespace kestrova
