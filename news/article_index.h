// The article index of a group: header records cached under the group's name, built by walking
// the group the first time and extended with NEWNEWS afterwards (the in-group view of the
// session).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "hostapi/plugin_api.h"
#include "news/account_cache.h"
#include "news/article_header.h"
#include "news/nntp_connection.h"
#include "news/overview.h"

namespace kestrova {

// The article numbers of the current group, from the status line of GROUP.
struct TGroupRange {
    int64_t Low = 1;
    int64_t High = 0;   // below Low: no articles, or not known
    int64_t Count = 0;  // the server's estimate of the articles in the group
};

// The range a "211 count low high group" status line gives; none (High below Low) when the
// line does not read so.
TGroupRange GroupRangeOf(const std::string& statusLine);

// What a listing of a group's articles needs to know, and what it leaves for the next one.
struct TIndexQuery {
    std::string Group;  // the group selected on the connection
    int CharTable = 0;  // the account's character table slot
    TGroupRange Range;  // from the group's GROUP reply
    // Ask the server for the articles that are new; set again when asking failed, so that the
    // next listing (a retry) goes on asking.
    bool Update = false;
    // Articles may have come since the last GROUP (a post, Ctrl-R): new articles asked for by
    // number ask GROUP for the range again first.
    bool RangeStale = false;
    // The server refused NEWNEWS in this session: new articles are asked for by number.
    bool NewNewsRefused = false;
    // Working offline: the cached index as it is, nothing asked (Update and the records marked
    // for refresh wait).
    bool Offline = false;
    int64_t ListLimit = kMaxListRecords;
    // The most articles the first entry of a group lists, the newest ones; 0: all.
    int64_t FirstEntryLimit = 0;
    // Ask for the next FirstEntryLimit of the older articles left out (all of them with 0).
    bool LoadOlder = false;
    // After a listing: the highest number of the older articles not listed yet (0: none left
    // out), and how many articles were listed.
    int64_t OlderEnd = 0;
    int64_t Listed = 0;
    // The server's overview format, once asked.
    std::optional<TOverviewFormat> OverviewFormat;
};

// The articles of query's group into a new array: the cached index (records marked for refresh
// read again first), then, with Update, the articles that are new on the server. When the server
// offers the overview (and the option UseOverview is on) they come by OVER: the whole range of
// the group without an index, else the numbers after the highest one indexed. Otherwise the whole
// group is walked with HEAD and NEXT when there is no index, else NEWNEWS names those that came
// since the index's stamp. A group of more articles than FirstEntryLimit gets only the newest
// numbers of that many on its first entry (by overview, or HEAD by number), and the older ones
// are left out until LoadOlder asks for them, the newest block first. Records read before a
// failure are kept, listed and stored; then the failure is passed on: EInternetError
// ("SendCommand" for a refused NEWNEWS, "ReadHeader", "WalkGroup"), the socket's failures,
// EUserAbort.
void GetArticlesInfo(TNntpConnection& connection, TAccountCache& cache, TIndexQuery& query,
                     PluginPanelItem*& items, int& count);
// Marks every record of group's cached index to be read again.
void MarkArticlesForRefresh(TAccountCache& cache, const std::string& group);

}  // namespace kestrova
