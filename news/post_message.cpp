// Posting: POST with the composed article, and what the posting dialog needs of the session.
#include "common/errors.h"
#include "common/format_text.h"
#include "common/streams.h"
#include "news/article_text.h"
#include "news/group_list.h"
#include "news/list_block.h"
#include "news/news_internet_manager.h"
#include "news/posting.h"
#include "news/reply_codes.h"
#include "platform/winsock_errors.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {
namespace {

// Puts the state back however the exchange ends.
class TStateRestore {
  public:
    TStateRestore(TNewsInternetManager& manager) : manager_(manager), saved_(manager.State) {}
    ~TStateRestore() { manager_.SetState(saved_); }
    TStateRestore(const TStateRestore&) = delete;
    TStateRestore& operator=(const TStateRestore&) = delete;

  private:
    TNewsInternetManager& manager_;
    NewsState saved_;
};

}  // namespace

void TNewsInternetManager::PostMessage(TStream& headers, TStream& body) {
    if ((ServerFlags & kServerAllowsPosting) == 0)
        RaiseError(kRefused, GetMsg(kMsgPostingRefused), "PostMessage");
    if (body.Size() == 0) return;
    if (SendCommand(*Socket, "POST", kLogCommand, kWaitForReply, "") != kReplySendArticleToPost)
        return;

    TStateRestore restore(*this);
    SetState(NewsState::Posting);
    TMemoryStream piece;
    WriteArticle(headers, body, true, [&](std::string_view text) {
        piece.SetSize(0);
        piece.WriteText(text);
        piece.SetPosition(0);
        if (Socket->SendStream(piece, 0) < piece.Size()) RaiseConnectionLost("PostMessage");
    });
    Socket->WriteLine(".");
    if (headers.Size() > 0) WriteLogStream(kLogData, "POSTING MESSAGE (HEADER)", headers);
    WriteLogStream(kLogData, "POSTING MESSAGE (BODY)", body);
    try {
        WaitReply(*Socket, kLogCommand, "PostMessage", 0);
        UpdateGroup = 1;  // the group's next listing asks for what is new, the article too
    } catch (const EInternetError&) {
        throw;  // the server answered: its refusal stands as it is
    } catch (const ECustomError& failure) {
        // The whole article went out, so the server may have taken it: sending it again could
        // post it twice. The item failure makes the panel ask instead of retrying by itself.
        Socket->SocketClose();
        WriteLog(kLogConnection, "No answer after the article was sent: " + failure.Message);
        RaiseError(kItemFailure | (failure.Code & 0xFFFF),
                   FormatText(GetMsg(kMsgMayHaveBeenPosted), {failure.Message}), "PostMessage");
    }
}

TStringList PostingGroupNames(TNewsInternetManager& manager) {
    TStringList names;
    TListBlock groups(TGroupRecord::kSize);
    if (!FetchList(manager, kGroupListKey, groups)) return names;
    for (uint32_t i = 0; i < groups.Count(); ++i) {
        const TGroupRecord group = TGroupRecord::Read(groups.Record(i));
        if ((group.Flags & kPostingNotAllowed) == 0) names.Add(group.Name);
    }
    return names;
}

std::string CurrentGroupName(TNewsInternetManager& manager) {
    return manager.State == NewsState::InGroup ? manager.GetPath() : std::string();
}

}  // namespace kestrova
