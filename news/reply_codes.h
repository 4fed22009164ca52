// NNTP status lines: the code at the start of a line and the class of failure each code stands
// for. The class bits steer the panel's retry logic (see common/errors.h).
#pragma once

#include <cstdint>
#include <string_view>

namespace kestrova {

// The code of a line that is not a status line; no server's code can take it, not even 999.
inline constexpr int kNoStatusCode = -1;

// Every status code the client tells apart.
inline constexpr int kReplyCapabilityList = 101;
inline constexpr int kReplyPostingAllowed = 200;
inline constexpr int kReplyPostingProhibited = 201;
inline constexpr int kReplySlaveNoted = 202;
inline constexpr int kReplyClosing = 205;
inline constexpr int kReplyCompressionActive = 206;
inline constexpr int kReplyGroupSelected = 211;  // 211 count low high group
inline constexpr int kReplyListFollows = 215;
inline constexpr int kReplyArticleFollows = 220;
inline constexpr int kReplyHeadFollows = 221;
inline constexpr int kReplyBodyFollows = 222;
inline constexpr int kReplyArticleSelected = 223;
inline constexpr int kReplyOverviewFollows = 224;
inline constexpr int kReplyNewNewsFollows = 230;
inline constexpr int kReplyNewGroupsFollows = 231;
inline constexpr int kReplyArticleTransferred = 235;
inline constexpr int kReplyArticlePosted = 240;
inline constexpr int kReplyLoginAccepted = 281;
inline constexpr int kReplySendArticleToTransfer = 335;
inline constexpr int kReplySendArticleToPost = 340;
inline constexpr int kReplyPasswordRequired = 381;
inline constexpr int kReplyContinueWithTls = 382;  // STARTTLS: the handshake comes next
inline constexpr int kReplyServiceDiscontinued = 400;
inline constexpr int kReplyWrongMode = 401;  // 401 MODE-READER: a transit server
inline constexpr int kReplyNoSuchGroup = 411;
inline constexpr int kReplyNoGroupSelected = 412;
inline constexpr int kReplyNoCurrentArticle = 420;
inline constexpr int kReplyNoNextArticle = 421;
inline constexpr int kReplyNoPreviousArticle = 422;
inline constexpr int kReplyNoArticleWithNumber = 423;
inline constexpr int kReplyNoArticleWithId = 430;
inline constexpr int kReplyArticleNotWanted = 435;
inline constexpr int kReplyTransferFailed = 437;
inline constexpr int kReplyPostingNotAllowed = 440;
inline constexpr int kReplyPostingFailed = 441;
inline constexpr int kReplyLoginRequired = 480;
inline constexpr int kReplyLoginRejected = 481;
inline constexpr int kReplyLoginOutOfSequence = 482;
inline constexpr int kReplyUnknownCommand = 500;
inline constexpr int kReplySyntaxError = 501;
inline constexpr int kReplyNotPermitted = 502;
inline constexpr int kReplyProgramFault = 503;
// The codes from kReplyUnknownCommand to this one say that the server does not offer a command.
inline constexpr int kReplyLastUnsupported = 505;

// Codes below this one report success (1xx, 2xx); 3xx asks for the rest of a command.
inline constexpr int kReplyFirstContinuation = 300;
inline constexpr int kReplyFirstFailure = 400;

// The command was carried out.
inline bool ReplySucceeded(int code) {
    return code < kReplyFirstContinuation;
}
// The server waits for the rest of the command (a password, an article).
inline bool ReplyAsksForMore(int code) {
    return code >= kReplyFirstContinuation && code < kReplyFirstFailure;
}
// The server does not offer the command.
inline bool ReplyCommandUnsupported(int code) {
    return code >= kReplyUnknownCommand && code <= kReplyLastUnsupported;
}

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
