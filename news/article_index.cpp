#include "news/article_index.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_set>
#include <utility>
#include <vector>

#include "common/format_text.h"
#include "news/older_articles.h"
#include "news/overview.h"
#include "news/thread_links.h"
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

void AppendRecord(TNntpConnection& connection, const TIndexQuery& query, TListBlock& index,
                  const TArticleHeader& record) {
    if (index.Count() >= query.ListLimit) {
        connection.RaiseAndClose(ListTooLongText(query.ListLimit), "GetArticlesInfo");
    }
    char bytes[TArticleHeader::kSize];
    record.Write(bytes);
    index.Append(bytes);
    connection.Notify(kEventProgress, 0, 1);
}

// Reads the reply to a HEAD command, whose status came, into record, and its References into
// links. An article asked for by its identifier gets its number in group from its Xref header
// (or keeps the number it had).
// Returns 1 when the header was read, 0 when the article does not exist (420, 423, 430), -1 for
// another accepted status. Raises EInternetError ("ReadHeader") for an error status and
// ESocketError ("ReadHeader") when the connection ends inside the header.
int HeadReply(TNntpConnection& connection, const std::string& group, TArticleHeader& record,
              const TNntpStatus& status, TThreadLinks& links) {
    const int code = status.Code;
    if (code == kReplyNoCurrentArticle || code == kReplyNoArticleWithNumber ||
        code == kReplyNoArticleWithId) {
        return 0;
    }
    if (code != kReplyHeadFollows) {
        connection.Check(status, "ReadHeader");
        return -1;
    }
    const int32_t knownNumber = record.Number;
    record = TArticleHeader{};
    ApplyHeadStatus(status.Line, record);
    record.CharTable = kNoSlot;
    THeaderExtras extras;
    THeaderUnfolder header(record, extras);
    std::string line;
    for (;;) {
        const DataLine kind = connection.ReadDataLine(line);
        if (kind == DataLine::Lost) connection.RaiseConnectionLost("ReadHeader");
        if (kind == DataLine::End) break;
        header.Add(line);
    }
    header.Finish();
    // Asked for by identifier, the server answers with number 0.
    if (record.Number == 0) {
        const int32_t fromXref = NumberFromXref(extras.Xref, group);
        record.Number = fromXref != 0 ? fromXref : knownNumber;
    }
    links.Add(record.MessageId, extras.References);
    return 1;
}

// Appends the headers of count articles, the i-th asked for with HEAD argument(i), sending up to
// the pipeline depth of commands ahead of their replies.
template <class Argument>
void AppendHeaders(TNntpConnection& connection, const TIndexQuery& query, TListBlock& index,
                   TThreadLinks& links, size_t count, const Argument& argument) {
    const size_t depth = static_cast<size_t>(Options.Connect.PipelineDepth);
    size_t sent = 0;
    for (size_t i = 0; i < count; ++i) {
        for (; sent < count && sent - i < depth; ++sent) {
            connection.SendAhead(CommandLine("HEAD", argument(sent)), kLogData);
        }
        TArticleHeader record;
        if (HeadReply(connection, query.Group, record, connection.ReadAheadStatus(kKeepReply),
                      links) > 0) {
            AppendRecord(connection, query, index, record);
        }
    }
}

// Numbers one OVER command asks for: its reply stays small, and few commands cover a big group.
constexpr int64_t kOverviewChunk = 1000;
// No server's overview format has more fields than this.
constexpr int kMaxOverviewFields = 100;

// The server offers the overview, and the user wants it: OVER, or XOVER from a server that lists
// LIST OVERVIEW.FMT but not OVER. A server that lists nothing is never asked for either.
bool UsesOverview(const TNntpConnection& connection) {
    const TCapabilities& offered = connection.Capabilities();
    return Options.Connect.UseOverview != 0 && (offered.Over || offered.OverviewFormat);
}

// The field order of the server's overview, asked once per session (LIST OVERVIEW.FMT when the
// server offers it, else the standard order).
const TOverviewFormat& OverviewFormat(TNntpConnection& connection, TIndexQuery& query) {
    if (query.OverviewFormat) return *query.OverviewFormat;
    TOverviewFormat format;
    if (connection.Capabilities().OverviewFormat) {
        const TNntpStatus status = connection.Command("LIST OVERVIEW.FMT", kLogCommand, kKeepReply);
        if (ReplyClosesConnection(status.Code)) connection.Check(status, "OverviewFormat");
        if (status.Code == kReplyListFollows) {
            std::vector<std::string> lines;
            std::string line;
            for (;;) {
                const DataLine kind = connection.ReadDataLine(line);
                if (kind == DataLine::End) break;
                if (kind == DataLine::Lost) connection.RaiseConnectionLost("OverviewFormat");
                if (lines.size() == kMaxOverviewFields) {
                    connection.RaiseAndClose(ListTooLongText(kMaxOverviewFields), "OverviewFormat");
                }
                lines.push_back(line);
            }
            format = OverviewFormatOf(lines);
        }
    }
    query.OverviewFormat = format;
    return *query.OverviewFormat;
}

// Numbers first to last of an OVER command.
struct TNumberRange {
    int64_t First;
    int64_t Last;
};

// The numbers first to last in chunks of kOverviewChunk, the newest chunk first when newestFirst.
std::vector<TNumberRange> OverviewChunks(int64_t first, int64_t last, bool newestFirst) {
    std::vector<TNumberRange> chunks;
    if (newestFirst) {
        for (int64_t end = last; end >= first; end -= kOverviewChunk) {
            chunks.push_back({std::max(first, end - (kOverviewChunk - 1)), end});
        }
    } else {
        for (int64_t start = first; start <= last; start += kOverviewChunk) {
            chunks.push_back({start, std::min(last, start + (kOverviewChunk - 1))});
        }
    }
    return chunks;
}

// Appends the overview of the chunks' articles: OVER (or XOVER) of each chunk in turn, up to the
// pipeline depth of them ahead of their replies. A chunk without articles (420, 423) adds none; a
// line that does not read as an overview line, whose number lies outside its chunk, came before
// in it or is among known, is skipped. Each chunk read to its end lowers lowestRead (when given) to
// its first number.
void AppendOverview(TNntpConnection& connection, TIndexQuery& query, TListBlock& index,
                    TThreadLinks& links, const std::vector<TNumberRange>& chunks,
                    const std::unordered_set<int64_t>* known = nullptr,
                    int64_t* lowestRead = nullptr) {
    const TOverviewFormat format = OverviewFormat(connection, query);
    const char* command = connection.Capabilities().Over ? "OVER %d-%d" : "XOVER %d-%d";
    const size_t depth = static_cast<size_t>(Options.Connect.PipelineDepth);
    size_t sent = 0;
    for (size_t i = 0; i < chunks.size(); ++i) {
        for (; sent < chunks.size() && sent - i < depth; ++sent) {
            connection.SendAhead(FormatText(command, {chunks[sent].First, chunks[sent].Last}),
                                 kLogCommand);
        }
        const TNumberRange& chunk = chunks[i];
        const TNntpStatus status = connection.ReadAheadStatus(kKeepReply);
        if (status.Code == kReplyOverviewFollows) {
            // A number is taken once: a server repeating lines holds at most the chunk's numbers.
            std::vector<bool> taken(static_cast<size_t>(chunk.Last - chunk.First + 1));
            std::string line;
            for (;;) {
                const DataLine kind = connection.ReadDataLine(line);
                if (kind == DataLine::End) break;
                if (kind == DataLine::Lost) connection.RaiseConnectionLost("Overview");
                TArticleHeader record;
                THeaderExtras extras;
                if (ApplyOverviewLine(line, format, record, extras) &&
                    record.Number >= chunk.First && record.Number <= chunk.Last &&
                    !taken[static_cast<size_t>(record.Number - chunk.First)] &&
                    (known == nullptr || !known->contains(record.Number))) {
                    taken[static_cast<size_t>(record.Number - chunk.First)] = true;
                    AppendRecord(connection, query, index, record);
                    links.Add(record.MessageId, extras.References);
                }
            }
        } else if (status.Code != kReplyNoCurrentArticle &&
                   status.Code != kReplyNoArticleWithNumber) {
            connection.Check(status, "Overview");
        }
        if (lowestRead != nullptr) *lowestRead = std::min(*lowestRead, chunk.First);
    }
}

// Walks the group from the server's current article (the first one after GROUP) to its end with
// HEAD and NEXT in turn, up to the pipeline depth of them ahead of their replies. No more pairs
// go out ahead than the group's count or range announces (past that one command at a time), so
// little is sent past the end; the replies of what was are read and dropped.
void WalkGroup(TNntpConnection& connection, const TIndexQuery& query, TListBlock& index,
               TThreadLinks& links) {
    connection.Notify(kEventProgress, 0, 1);
    const uint64_t depth = static_cast<uint64_t>(Options.Connect.PipelineDepth);
    const TGroupRange& range = query.Range;
    const uint64_t announced =
        2 * static_cast<uint64_t>(std::max<int64_t>({range.Count, range.High - range.Low + 1, 1}));
    uint64_t sent = 0;
    uint64_t answered = 0;  // replies read or being read
    const auto sendAhead = [&] {
        for (; sent - answered < depth && (sent < announced || sent == answered); ++sent) {
            connection.SendAhead(sent % 2 == 0 ? "HEAD" : "NEXT", kLogData);
        }
    };
    for (;;) {
        sendAhead();
        ++answered;
        TArticleHeader record;
        if (HeadReply(connection, query.Group, record, connection.ReadAheadStatus(kKeepReply),
                      links) > 0) {
            AppendRecord(connection, query, index, record);
        }
        sendAhead();
        ++answered;
        const TNntpStatus next = connection.ReadAheadStatus(kKeepReply);
        if (ReplySucceeded(next.Code)) continue;
        // An error status raises instead of ending quietly.
        if (next.Code != kReplyNoCurrentArticle && next.Code != kReplyNoNextArticle)
            connection.Check(next, "WalkGroup");
        try {
            connection.DiscardAheadReplies();
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
// the server refuses NEWNEWS; the query then remembers that for the rest of the session.
bool NewNews(TNntpConnection& connection, TIndexQuery& query, TListBlock& index,
             TThreadLinks& links) {
    connection.Notify(kEventStatus, kMsgAskingForArticles, 0);
    const TNntpStatus status =
        connection.Command("NEWNEWS " + NewNewsArgument(query.Group, index.Stamp()), kLogCommand,
                           kKeepReply | kLoginOnlyWithCredentials);
    if (RefusesNewNews(status.Code)) {
        query.NewNewsRefused = true;
        connection.Log().Write(kLogConnection,
                               "NEWNEWS refused: new articles are asked for by number");
        return false;
    }
    connection.Check(status, "SendCommand");
    std::vector<std::string> identifiers;
    if (ReplySucceeded(status.Code)) {
        std::string line;
        for (;;) {
            const DataLine kind = connection.ReadDataLine(line);
            if (kind == DataLine::End) break;
            if (kind == DataLine::Lost) connection.RaiseConnectionLost("NewNews");
            if (static_cast<int64_t>(identifiers.size()) >= query.ListLimit) {
                connection.RaiseAndClose(ListTooLongText(query.ListLimit), "NewNews");
            }
            identifiers.push_back(line);
        }
    }
    // No Reserve here: an exact one would copy the whole index each time; appending grows
    // it with room to spare, which stays with the block in the cache for the next time.
    const std::vector<const std::string*> unknown = UnknownIdentifiers(index, identifiers);
    AppendHeaders(connection, query, index, links, unknown.size(),
                  [&](size_t i) { return *unknown[i]; });
    return true;
}

// The articles numbered from first to the end of the range the last GROUP gave, at most the last
// ListLimit numbers of it (a server's range can be as wide as it likes): by overview when the
// server offers it, else by HEAD and number, a number the server no longer has skipped.
void ArticlesFrom(TNntpConnection& connection, TIndexQuery& query, TListBlock& index,
                  TThreadLinks& links, int64_t first) {
    const TGroupRange& range = query.Range;
    first = std::max(first, range.Low);
    if (first > range.High) return;
    if (range.High - first >= query.ListLimit) first = range.High - (query.ListLimit - 1);
    if (UsesOverview(connection)) {
        AppendOverview(connection, query, index, links, OverviewChunks(first, range.High, false));
        return;
    }
    AppendHeaders(connection, query, index, links, static_cast<size_t>(range.High - first + 1),
                  [&](size_t i) { return std::to_string(first + static_cast<int64_t>(i)); });
}

// The articles numbered after the highest number indexed (ArticlesFrom), the range asked again
// first when it may be stale.
void ArticlesAfterHighest(TNntpConnection& connection, TIndexQuery& query, TListBlock& index,
                          TThreadLinks& links) {
    connection.Notify(kEventStatus, kMsgAskingForArticles, 0);
    if (query.RangeStale) {
        query.RangeStale = false;
        query.Range =
            GroupRangeOf(connection.Command(CommandLine("GROUP", query.Group), kLogCommand).Line);
    }
    int64_t highest = 0;
    for (uint32_t i = 0; i < index.Count(); ++i) {
        highest = std::max<int64_t>(highest, TArticleHeader::NumberOf(index.Record(i)));
    }
    ArticlesFrom(connection, query, index, links, highest + 1);
}

// The first number of a first entry that lists only the newest FirstEntryLimit numbers of the
// group; 0 when the group's count is within the limit (or not known).
int64_t FirstEntryStart(const TIndexQuery& query) {
    const TGroupRange& range = query.Range;
    if (query.FirstEntryLimit <= 0 || range.High < range.Low) return 0;
    if (range.Count <= query.FirstEntryLimit) return 0;
    const int64_t start = range.High - (query.FirstEntryLimit - 1);
    return start > range.Low ? start : 0;
}

// Reads the next block of older articles (the newest FirstEntryLimit numbers at or below
// query.OlderEnd, all of them with no limit) into older, newest first, skipping the numbers index
// holds already; query.OlderEnd comes down to what is still left out, also when a failure (passed
// on) cuts the block short.
void OlderArticles(TNntpConnection& connection, TIndexQuery& query, const TListBlock& index,
                   TListBlock& older, TThreadLinks& links) {
    connection.Notify(kEventStatus, kMsgAskingForArticles, 0);
    const TGroupRange& range = query.Range;
    const int64_t end = query.OlderEnd;
    int64_t first = range.Low;
    if (query.FirstEntryLimit > 0) first = std::max(first, end - (query.FirstEntryLimit - 1));
    if (end - first >= query.ListLimit) first = end - (query.ListLimit - 1);
    std::unordered_set<int64_t> known;
    for (uint32_t i = 0; i < index.Count(); ++i) {
        const int64_t number = TArticleHeader::NumberOf(index.Record(i));
        if (number >= first && number <= end) known.insert(number);
    }
    int64_t lowestRead = end + 1;
    try {
        if (first <= end && UsesOverview(connection)) {
            AppendOverview(connection, query, older, links, OverviewChunks(first, end, true),
                           &known, &lowestRead);
        } else if (first <= end) {
            std::vector<int64_t> numbers;
            for (int64_t number = end; number >= first; --number) {
                if (!known.contains(number)) numbers.push_back(number);
            }
            AppendHeaders(connection, query, older, links, numbers.size(),
                          [&](size_t i) { return std::to_string(numbers[i]); });
        }
        lowestRead = first;
    } catch (...) {
        // HEAD by number reads the newest first: what came is whole down to its lowest number.
        if (!UsesOverview(connection)) {
            for (uint32_t i = 0; i < older.Count(); ++i) {
                lowestRead =
                    std::min<int64_t>(lowestRead, TArticleHeader::NumberOf(older.Record(i)));
            }
        }
        query.OlderEnd = lowestRead - 1;
        throw;
    }
    query.OlderEnd = first > range.Low ? first - 1 : 0;
}

// The records a first entry of query's group is expected to bring: the numbers it asks for from
// start (0: the group's low mark), at most the group's count; none when the range is not known. A
// server's count can be anything, so it is believed up to kLargestExpectedEntry records.
size_t ExpectedFirstEntry(const TIndexQuery& query, int64_t start) {
    constexpr int64_t kLargestExpectedEntry = 1 << 17;
    const TGroupRange& range = query.Range;
    if (range.High < range.Low) return 0;
    const int64_t numbers = range.High - std::max(start, range.Low) + 1;
    return static_cast<size_t>(std::clamp<int64_t>(
        std::min({numbers, range.Count, query.ListLimit}), 0, kLargestExpectedEntry));
}

// Lists the cached records, reading those marked for refresh again; true when some were marked.
bool ListCachedArticles(TNntpConnection& connection, const TIndexQuery& query, TListBlock& index,
                        TThreadLinks& links, TPanelItemList& items, TArticleTables& tables) {
    items.Reserve(static_cast<int>(index.Count()));
    bool changed = false;
    for (uint32_t i = 0; i < index.Count(); ++i) {
        char* bytes = index.Record(i);
        if (!query.Offline && (TArticleHeader::FlagsOf(bytes) & kRefreshHeader) != 0 &&
            !TArticleHeader::MessageIdOf(bytes).empty()) {
            changed = true;
            // A vanished article keeps its record, still marked.
            TArticleHeader fresh = TArticleHeader::Read(bytes);
            const TNntpStatus status =
                connection.Command(CommandLine("HEAD", fresh.MessageId), kLogData, kKeepReply);
            if (HeadReply(connection, query.Group, fresh, status, links) > 0) fresh.Write(bytes);
        }
        AddArticleItem(items, bytes, tables);
        connection.Notify(kEventProgress, 0, 1);
    }
    return changed;
}

}  // namespace

void GetArticlesInfo(TNntpConnection& connection, TAccountCache& cache, TIndexQuery& query,
                     PluginPanelItem*& items, int& count) {
    TPanelItemList list;
    TArticleTables tables(query.CharTable);
    TListBlock index(TArticleHeader::kSize);
    double cacheStamp = 0;
    const bool cached = cache.Take(query.Group, index, cacheStamp);
    TThreadLinks links;
    links.Load(cache.Blocks(), query.Group);
    int64_t olderEnd = cached ? OlderArticlesEnd(cache.Blocks(), query.Group) : 0;
    // Expired on the server meanwhile: nothing is left out any more.
    if (query.Range.High >= query.Range.Low && olderEnd < query.Range.Low) olderEnd = 0;
    query.OlderEnd = olderEnd;
    SYSTEMTIME stamp = index.Stamp();
    bool changed = false;
    std::exception_ptr failure;
    try {
        changed = ListCachedArticles(connection, query, index, links, list, tables);
        if (query.Update && !query.Offline) {
            query.Update = false;
            const uint32_t known = index.Count();
            const SYSTEMTIME asked = StampNow();
            try {
                const int64_t start = cached ? 0 : FirstEntryStart(query);
                if (!cached) {
                    // Room for the whole entry at once: growing a large index step by step
                    // copies it over and over into memory the system has to hand out afresh.
                    const size_t expected = ExpectedFirstEntry(query, start);
                    index.Reserve(expected);
                    list.Reserve(static_cast<int>(expected));
                }
                if (start != 0) {
                    // A large group's first entry: the newest numbers only, the rest left out.
                    query.OlderEnd = start - 1;
                    connection.Notify(kEventStatus, kMsgAskingForArticles, 0);
                    ArticlesFrom(connection, query, index, links, start);
                } else if (cached || UsesOverview(connection)) {
                    const bool rangeKnown = query.Range.High >= query.Range.Low;
                    const bool byNumber =
                        query.NewNewsRefused || !cached ||
                        ((WalkCutShort(index) || UsesOverview(connection)) && rangeKnown);
                    if (byNumber || !NewNews(connection, query, index, links)) {
                        ArticlesAfterHighest(connection, query, index, links);
                    }
                } else {
                    WalkGroup(connection, query, index, links);
                }
                stamp = asked;
            } catch (...) {
                failure = std::current_exception();
                if (!cached) stamp = kIncompleteWalkStamp;
                query.Update = true;  // the next listing (a retry) goes on asking
            }
            for (uint32_t i = known; i < index.Count(); ++i) {
                AddArticleItem(list, index.Record(i), tables);
            }
            changed = changed || index.Count() > known;
        }
        if (query.LoadOlder && !query.Offline && !failure && query.OlderEnd > 0) {
            query.LoadOlder = false;
            TListBlock older(TArticleHeader::kSize);
            try {
                OlderArticles(connection, query, index, older, links);
            } catch (...) {
                failure = std::current_exception();
            }
            const uint32_t added = older.Count();
            for (uint32_t i = 0; i < added; ++i) AddArticleItem(list, older.Record(i), tables);
            // The older records go before the others, so that the index stays in number order.
            if (added > 0) {
                for (uint32_t i = 0; i < index.Count(); ++i) older.Append(index.Record(i));
                index = std::move(older);
            }
            changed = changed || added > 0 || query.OlderEnd != olderEnd;
        }
    } catch (...) {
        failure = std::current_exception();
    }
    query.LoadOlder = false;
    query.Listed = index.Count();
    // The stamp moves only when the server was asked to its end, so that no article that
    // arrived in between is missed by the next NEWNEWS.
    if (changed) {
        index.SetStamp(stamp);
        links.Put(cache.Blocks(), query.Group);  // saved with the index
        PutOlderArticlesEnd(cache.Blocks(), query.Group, query.OlderEnd);
        cache.Store(query.Group, ListKind::Expiring, std::move(index));
    } else if (cached) {
        cache.Return(query.Group, ListKind::Expiring, std::move(index), cacheStamp);
    }
    list.Release(items, count);
    if (failure) std::rethrow_exception(failure);
}

TGroupRange GroupRangeOf(const std::string& statusLine) {
    if (ReplyCodeOf(statusLine) != kReplyGroupSelected) return TGroupRange{};
    // "211 count low high group"; a line that does not read so leaves no range.
    int64_t numbers[3];
    const char* at = statusLine.data() + 3;
    const char* end = statusLine.data() + statusLine.size();
    for (int64_t& number : numbers) {
        while (at < end && *at == ' ') ++at;
        const auto [next, error] = std::from_chars(at, end, number);
        if (error != std::errc()) return TGroupRange{};
        at = next;
    }
    return TGroupRange{numbers[1], numbers[2], numbers[0]};
}

void MarkArticlesForRefresh(TAccountCache& cache, const std::string& group) {
    TListBlock index(TArticleHeader::kSize);
    if (!cache.Fetch(group, index)) return;
    for (uint32_t i = 0; i < index.Count(); ++i) {
        TArticleHeader record = TArticleHeader::Read(index.Record(i));
        record.Flags |= kRefreshHeader;
        record.Write(index.Record(i));
    }
    cache.Store(group, ListKind::Expiring, std::move(index));
}

}  // namespace kestrova
