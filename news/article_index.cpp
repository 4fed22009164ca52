#include "news/article_index.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "common/format_text.h"
#include "news/list_block.h"
#include "news/news_internet_manager.h"
#include "news/reply_codes.h"
#include "ui/char_tables.h"
#include "ui/message_numbers.h"
#include "ui/plugin_options.h"

namespace kestrova {

namespace {

// The stamp of an index whose walk was cut short. The next entry goes on by number after the
// highest one indexed, so that every article keeps the number the server gave it (asked for by
// identifier, a server without Xref names none); without a known range NEWNEWS since then names
// every article of the group, and those already indexed are skipped.
constexpr SYSTEMTIME kIncompleteWalkStamp{1970, 1, 4, 1, 0, 0, 0, 0};

bool WalkCutShort(const TListBlock& index) {
    const SYSTEMTIME stamp = index.Stamp();
    return stamp.wYear == kIncompleteWalkStamp.wYear &&
           stamp.wMonth == kIncompleteWalkStamp.wMonth && stamp.wDay == kIncompleteWalkStamp.wDay;
}

void AppendRecord(TNewsInternetManager& manager, TListBlock& index, const TArticleHeader& record) {
    if (index.Count() >= manager.ListLimit) RaiseListTooLong(manager, "GetArticlesInfo");
    char bytes[TArticleHeader::kSize];
    record.Write(bytes);
    index.Append(bytes);
    manager.DoEvent(kEventProgress, 0, 1);
}

// Reads the reply to a HEAD command into record: see ReadHeader.
int HeadReply(TNewsInternetManager& manager, TArticleHeader& record, int code) {
    if (code == kReplyNoCurrentArticle || code == kReplyNoArticleWithNumber ||
        code == kReplyNoArticleWithId) {
        return 0;
    }
    if (code != kReplyHeadFollows) {
        manager.CheckReply("ReadHeader");
        return -1;
    }
    const int32_t knownNumber = record.Number;
    record = TArticleHeader{};
    ApplyHeadStatus(manager.ReplyLine, record);
    record.CharTable = kNoSlot;
    THeaderExtras extras;
    std::string line;
    for (;;) {
        const DataLine kind = manager.ReadDataLine(*manager.Socket, line);
        if (kind == DataLine::End) break;
        if (kind == DataLine::Lost) manager.RaiseConnectionLost("ReadHeader");
        ApplyHeaderLine(line, record, extras);
    }
    // Asked for by identifier, the server answers with number 0.
    if (record.Number == 0) {
        const int32_t fromXref = NumberFromXref(extras.Xref, manager.GetPath());
        record.Number = fromXref != 0 ? fromXref : knownNumber;
    }
    return 1;
}

// Appends the headers of count articles, the i-th asked for with HEAD argument(i), sending up to
// the pipeline depth of commands ahead of their replies.
template <class Argument>
void AppendHeaders(TNewsInternetManager& manager, TListBlock& index, size_t count,
                   const Argument& argument) {
    const size_t depth = static_cast<size_t>(Options.Connect.PipelineDepth);
    size_t sent = 0;
    for (size_t i = 0; i < count; ++i) {
        for (; sent < count && sent - i < depth; ++sent) {
            manager.SendAhead("HEAD", argument(sent), kLogData);
        }
        TArticleHeader record;
        if (HeadReply(manager, record, manager.ReadAheadReply(kKeepReply)) > 0) {
            AppendRecord(manager, index, record);
        }
    }
}

// Walks the group from the server's current article (the first one after GROUP) to its end with
// HEAD and NEXT in turn, up to the pipeline depth of them ahead of their replies. No more pairs
// go out ahead than the group's count or range announces (past that one command at a time), so
// little is sent past the end; the replies of what was are read and dropped.
void WalkGroup(TNewsInternetManager& manager, TListBlock& index) {
    manager.DoEvent(kEventProgress, 0, 1);
    const uint64_t depth = static_cast<uint64_t>(Options.Connect.PipelineDepth);
    const TGroupRange& range = manager.GroupRange;
    const uint64_t announced =
        2 * static_cast<uint64_t>(std::max<int64_t>({range.Count, range.High - range.Low + 1, 1}));
    uint64_t sent = 0;
    uint64_t answered = 0;  // replies read or being read
    const auto sendAhead = [&] {
        for (; sent - answered < depth && (sent < announced || sent == answered); ++sent) {
            manager.SendAhead(sent % 2 == 0 ? "HEAD" : "NEXT", "", kLogData);
        }
    };
    for (;;) {
        sendAhead();
        ++answered;
        TArticleHeader record;
        if (HeadReply(manager, record, manager.ReadAheadReply(kKeepReply)) > 0) {
            AppendRecord(manager, index, record);
        }
        sendAhead();
        ++answered;
        const int code = manager.ReadAheadReply(kKeepReply);
        if (ReplySucceeded(code)) continue;
        // An error status raises instead of ending quietly.
        if (code != kReplyNoCurrentArticle && code != kReplyNoNextArticle)
            manager.CheckReply("WalkGroup");
        try {
            manager.DiscardAheadReplies();
        } catch (...) {
            // The walk is complete; the connection is closed and the next request reconnects.
        }
        return;
    }
}

std::string NewNewsArgument(const std::string& group, const SYSTEMTIME& since) {
    return FormatText("%s %2D%2D%2D %2D%2D%2D GMT",
                      {group, since.wYear % 100, since.wMonth, since.wDay, since.wHour,
                       since.wMinute, since.wSecond});
}

// The identifiers, each once and in their order, that name no record of the index. The few
// identifiers are looked for among the many records, so that no set of the whole index is built.
std::vector<const std::string*> UnknownIdentifiers(const TListBlock& index,
                                                   const std::vector<std::string>& identifiers) {
    std::unordered_set<std::string_view> unknown(identifiers.begin(), identifiers.end());
    unknown.erase(std::string_view());
    for (uint32_t i = 0; i < index.Count() && !unknown.empty(); ++i) {
        unknown.erase(TArticleHeader::MessageIdOf(index.Record(i)));
    }
    std::vector<const std::string*> named;
    for (const std::string& identifier : identifiers) {
        if (unknown.erase(identifier) != 0) named.push_back(&identifier);
    }
    return named;
}

// Replies to NEWNEWS that refuse the command itself (INN answers a reader without the right
// "480 NEWNEWS command disabled by administrator", also when no login is needed at all).
bool RefusesNewNews(int code) {
    return code == kReplyUnknownCommand || code == kReplyNotPermitted ||
           code == kReplyLoginRequired;
}

// Adds the articles that NEWNEWS names since the index's stamp and the index lacks. False when
// the server refuses NEWNEWS; the manager then remembers that for the rest of the session.
bool NewNews(TNewsInternetManager& manager, const std::string& group, TListBlock& index) {
    manager.DoEvent(kEventStatus, kMsgAskingForArticles, 0);
    const int code = manager.SendCommand(*manager.Socket, "NEWNEWS", kLogCommand,
                                         kWaitForReply | kKeepReply | kLoginOnlyWithCredentials,
                                         NewNewsArgument(group, index.Stamp()));
    if (RefusesNewNews(code)) {
        manager.NewNewsRefused = true;
        manager.WriteLog(kLogConnection, "NEWNEWS refused: new articles are asked for by number");
        return false;
    }
    manager.CheckReply("SendCommand");
    std::vector<std::string> identifiers;
    if (ReplySucceeded(manager.ReplyCode)) {
        std::string line;
        for (;;) {
            const DataLine kind = manager.ReadDataLine(*manager.Socket, line);
            if (kind == DataLine::End) break;
            if (kind == DataLine::Lost) manager.RaiseConnectionLost("NewNews");
            if (static_cast<int64_t>(identifiers.size()) >= manager.ListLimit) {
                RaiseListTooLong(manager, "NewNews");
            }
            identifiers.push_back(line);
        }
    }
    // No Reserve here: an exact one would copy the whole index each time; appending grows
    // it with room to spare, which stays with the block in the cache for the next time.
    const std::vector<const std::string*> unknown = UnknownIdentifiers(index, identifiers);
    AppendHeaders(manager, index, unknown.size(), [&](size_t i) { return *unknown[i]; });
    return true;
}

// Without NEWNEWS: the articles numbered after the highest number indexed, up to the end of the
// range the last GROUP gave, at most the last ListLimit numbers of it (a server's range can be
// as wide as it likes); a number the server no longer has is skipped.
void ArticlesAfterHighest(TNewsInternetManager& manager, TListBlock& index) {
    manager.DoEvent(kEventStatus, kMsgAskingForArticles, 0);
    int64_t highest = 0;
    for (uint32_t i = 0; i < index.Count(); ++i) {
        highest = std::max<int64_t>(highest, TArticleHeader::NumberOf(index.Record(i)));
    }
    const TGroupRange& range = manager.GroupRange;
    int64_t first = std::max(highest + 1, range.Low);
    if (first > range.High) return;
    if (range.High - first >= manager.ListLimit) first = range.High - (manager.ListLimit - 1);
    AppendHeaders(manager, index, static_cast<size_t>(range.High - first + 1),
                  [&](size_t i) { return std::to_string(first + static_cast<int64_t>(i)); });
}

// Lists the cached records, reading those marked for refresh again; true when some were marked.
bool ListCachedArticles(TNewsInternetManager& manager, TListBlock& index, TPanelItemList& items,
                        TArticleTables& tables) {
    items.Reserve(static_cast<int>(index.Count()));
    bool changed = false;
    for (uint32_t i = 0; i < index.Count(); ++i) {
        char* bytes = index.Record(i);
        if ((TArticleHeader::FlagsOf(bytes) & kRefreshHeader) != 0 &&
            !TArticleHeader::MessageIdOf(bytes).empty()) {
            changed = true;
            // A vanished article keeps its record, still marked.
            TArticleHeader fresh = TArticleHeader::Read(bytes);
            if (ReadHeader(manager, fresh) > 0) fresh.Write(bytes);
        }
        AddArticleItem(items, bytes, tables);
        manager.DoEvent(kEventProgress, 0, 1);
    }
    return changed;
}

}  // namespace

void GetArticlesInfo(TNewsInternetManager& manager, const std::string& group,
                     PluginPanelItem*& items, int& count) {
    TPanelItemList list;
    TArticleTables tables(manager.Account.CharTable);
    TListBlock index(TArticleHeader::kSize);
    double cacheStamp = 0;
    const bool cached = TakeList(manager, group, index, cacheStamp);
    SYSTEMTIME stamp = index.Stamp();
    bool changed = false;
    std::exception_ptr failure;
    try {
        changed = ListCachedArticles(manager, index, list, tables);
        if (manager.UpdateGroup != 0) {
            manager.UpdateGroup = 0;
            const uint32_t known = index.Count();
            const SYSTEMTIME asked = StampNow();
            try {
                if (cached) {
                    const bool rangeKnown = manager.GroupRange.High >= manager.GroupRange.Low;
                    const bool byNumber =
                        manager.NewNewsRefused || (WalkCutShort(index) && rangeKnown);
                    if (byNumber || !NewNews(manager, group, index)) {
                        ArticlesAfterHighest(manager, index);
                    }
                } else {
                    WalkGroup(manager, index);
                }
                stamp = asked;
            } catch (...) {
                failure = std::current_exception();
                if (!cached) stamp = kIncompleteWalkStamp;
                manager.UpdateGroup = 1;  // the next listing (a retry) goes on asking
            }
            for (uint32_t i = known; i < index.Count(); ++i) {
                AddArticleItem(list, index.Record(i), tables);
            }
            changed = changed || index.Count() > known;
        }
    } catch (...) {
        failure = std::current_exception();
    }
    // The stamp moves only when the server was asked to its end, so that no article that
    // arrived in between is missed by the next NEWNEWS.
    if (changed) {
        index.SetStamp(stamp);
        StoreList(manager, group, ListKind::Expiring, std::move(index));
    } else if (cached) {
        ReturnList(manager, group, ListKind::Expiring, std::move(index), cacheStamp);
    }
    list.Release(items, count);
    if (failure) std::rethrow_exception(failure);
}

int ReadHeader(TNewsInternetManager& manager, TArticleHeader& record) {
    return ReadHeader(manager, record, record.MessageId);
}

int ReadHeader(TNewsInternetManager& manager, TArticleHeader& record, const std::string& which) {
    record.CharTable = manager.Account.CharTable;
    return HeadReply(
        manager, record,
        manager.SendCommand(*manager.Socket, "HEAD", kLogData, kWaitForReply | kKeepReply, which));
}

void MarkArticlesForRefresh(TNewsInternetManager& manager) {
    const std::string group = manager.GetPath();
    TListBlock index(TArticleHeader::kSize);
    if (!FetchList(manager, group, index)) return;
    for (uint32_t i = 0; i < index.Count(); ++i) {
        TArticleHeader record = TArticleHeader::Read(index.Record(i));
        record.Flags |= kRefreshHeader;
        record.Write(index.Record(i));
    }
    StoreList(manager, group, ListKind::Expiring, std::move(index));
}

}  // namespace kestrova
