// NNTP status lines: the code at the start of a line and the class of failure each code stands
// for. The class bits steer the panel's retry logic (see common/errors.h).
#pragma once

#include <cstdint>
#include <string_view>

namespace kestrova {

// The code of a line that is not a status line; no server's code can take it, not even 999.
inline constexpr int kNoStatusCode = -1;

inline constexpr int kReplyGroupSelected = 211;  // 211 count low high group
inline constexpr int kReplyLoginAccepted = 281;
inline constexpr int kReplyPasswordRequired = 381;
inline constexpr int kReplyLoginRequired = 480;
inline constexpr int kReplyLoginRejected = 481;
inline constexpr int kReplyLoginOutOfSequence = 482;
inline constexpr int kReplyUnknownCommand = 500;
inline constexpr int kReplyNotPermitted = 502;

// The first three characters of line as a decimal number; kNoStatusCode when they are not three
// digits.
int ReplyCodeOf(std::string_view line);

// 0 for a code that a command may get back without a failure; otherwise the class bit that the
// error raised for it carries: kItemFailure (this article or group is missing), kRefused (the
// server will not do it) or kTransient (every other code, try again later).
uint32_t ReplyErrorClass(int code);

// Codes after which the server is going away: the socket is closed before the error is raised,
// so that the next request connects again.
bool ReplyClosesConnection(int code);

}  // namespace kestrova
