// Posting: POST with the composed article, and what the posting dialog needs of the session.
#include "common/errors.h"
#include "common/format_text.h"
#include "common/streams.h"
#include "news/article_text.h"
#include "news/news_internet_manager.h"
#include "news/posting.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {
namespace {

// Puts the state back however the exchange ends.
class TStateRestore {
  public:
    TStateRestore(TNewsInternetManager& manager) : manager_(manager), saved_(manager.State()) {}
    ~TStateRestore() { manager_.SetState(saved_); }
    TStateRestore(const TStateRestore&) = delete;
    TStateRestore& operator=(const TStateRestore&) = delete;

  private:
    TNewsInternetManager& manager_;
    NewsState saved_;
};

}  // namespace

void TNewsInternetManager::PostMessage(TStream& headers, TStream& body) {
    RequireServer("PostMessage");
    if (!connection_.PostingAllowed())
        throw EInternetError(kRefused, GetMsg(kMsgPostingRefused), "PostMessage");
    if (body.Size() == 0) return;
    // Only 340 asks for the article. Any other answer that is no refusal (240 "posted" before
    // anything was sent) is out of step with the exchange: the connection is not trusted again,
    // and the user is told that the article did not go out.
    const TNntpStatus asked = connection_.Command("POST", kLogCommand);
    if (asked.Code != kReplySendArticleToPost) {
        connection_.Close();
        throw EInternetError(kRefused, FormatText(GetMsg(kMsgPostNotAsked), {asked.Line}),
                             "PostMessage");
    }
    TWinSocket& socket = connection_.Socket();

    TStateRestore restore(*this);
    SetState(NewsState::Posting);
    TMemoryStream piece;
    WriteArticle(headers, body, true, [&](std::string_view text) {
        piece.SetSize(0);
        piece.WriteText(text);
        piece.SetPosition(0);
        if (socket.SendStream(piece, 0) < piece.Size()) {
            connection_.RaiseConnectionLost("PostMessage");
        }
    });
    socket.WriteLine(".");
    if (headers.Size() > 0) log_.WriteStream(kLogData, "POSTING MESSAGE (HEADER)", headers);
    log_.WriteStream(kLogData, "POSTING MESSAGE (BODY)", body);
    try {
        connection_.WaitStatus(kLogCommand, "PostMessage");
        // The group's next listing asks for what is new, the article too.
        index_.Update = true;
        index_.RangeStale = true;
    } catch (const EInternetError&) {
        throw;  // the server answered: its refusal stands as it is
    } catch (const ECustomError& failure) {
        // The whole article went out, so the server may have taken it: sending it again could
        // post it twice. The item failure makes the panel ask instead of retrying by itself.
        connection_.Close();
        log_.Write(kLogConnection, "No answer after the article was sent: " + failure.Message);
        throw EInternetError(kItemFailure | (failure.Code & 0xFFFF),
                             FormatText(GetMsg(kMsgMayHaveBeenPosted), {failure.Message}),
                             "PostMessage");
    }
}

TStringList PostingGroupNames(TNewsInternetManager& manager) {
    TStringList names;
    TListBlock groups(TGroupRecord::kSize);
    if (!manager.Cache().Fetch(kGroupListKey, groups)) return names;
    for (uint32_t i = 0; i < groups.Count(); ++i) {
        const TGroupRecord group = TGroupRecord::Read(groups.Record(i));
        if ((group.Flags & kPostingNotAllowed) == 0) names.Add(group.Name);
    }
    return names;
}

std::string CurrentGroupName(TNewsInternetManager& manager) {
    return manager.State() == NewsState::InGroup ? manager.GetPath() : std::string();
}

}  // namespace kestrova
