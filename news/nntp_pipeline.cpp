// Commands sent ahead of their replies: the connection keeps the lines in the order they went
// out and reads the replies in that order.
#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "common/errors.h"
#include "news/nntp_connection.h"

namespace kestrova {
namespace {

// The replies of ARTICLE, HEAD, BODY and OVER that a data block follows.
bool AnnouncesArticleText(int code) {
    return code == kReplyArticleFollows || code == kReplyHeadFollows || code == kReplyBodyFollows ||
           code == kReplyOverviewFollows;
}

}  // namespace

void TNntpConnection::SendAhead(const std::string& line, int level) {
    socket_->HoldLine(line);  // goes out with the next read, beside the commands held before it
    log_.Write(level, "> " + line);
    ahead_.push_back({line, level});
}

TNntpStatus TNntpConnection::ReadAheadStatus(int flags) {
    if (ahead_.empty()) {
        throw EInternetError(kItemFailure, "No command is waiting for its reply", "ReadAheadReply");
    }
    const AheadCommand oldest = ahead_.front();
    ahead_.pop_front();
    TNntpStatus status = WaitStatus(oldest.level, "SendCommand", flags | kKeepReply);
    if (status.Code == kReplyLoginRequired) {
        // The commands after it were sent without the login too: all go out again after it.
        std::vector<AheadCommand> again{oldest};
        again.insert(again.end(), ahead_.begin(), ahead_.end());
        DiscardAheadReplies();
        status = ReplayAfterLogin(std::move(status), flags, [&] {
            for (const AheadCommand& command : again) SendAhead(command.line, command.level);
            ahead_.pop_front();
            return WaitStatus(oldest.level, "SendCommand", flags | kKeepReply);
        });
    }
    if ((flags & kKeepReply) == 0) Check(status, "SendCommand");
    return status;
}

void TNntpConnection::DiscardAheadReplies(size_t count) {
    try {
        for (; count > 0 && !ahead_.empty(); --count) {
            const int level = ahead_.front().level;
            ahead_.pop_front();
            if (!AnnouncesArticleText(WaitStatus(level, "SendCommand", kKeepReply).Code)) {
                continue;
            }
            std::string line;
            DataLine kind;
            while ((kind = ReadDataLine(line)) == DataLine::Data) {
            }
            if (kind == DataLine::Lost) RaiseConnectionLost("SendCommand");
        }
    } catch (...) {
        // Where the replies that are left begin can no longer be told.
        ahead_.clear();
        socket_->SocketClose();
        throw;
    }
}

bool TNntpConnection::DropAheadUntil(const std::string& line) {
    const auto at = std::find_if(ahead_.begin(), ahead_.end(),
                                 [&](const AheadCommand& command) { return command.line == line; });
    const bool found = at != ahead_.end();
    DiscardAheadReplies(static_cast<size_t>(std::distance(ahead_.begin(), at)));
    return found;
}

bool TNntpConnection::IsAhead(const std::string& line) const {
    return std::any_of(ahead_.begin(), ahead_.end(),
                       [&](const AheadCommand& command) { return command.line == line; });
}

}  // namespace kestrova
