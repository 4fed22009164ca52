// The .newsrc text that newsreaders share: one line per group, "group: ranges" for a subscribed
// group and "group! ranges" for another, the ranges those of the read articles ("1-200,205").
// A file from outside is read with bounds: overlong lines and lines that are not a group's are
// skipped and counted, and at most kMaxGroups groups are taken.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "news/article_ranges.h"

namespace kestrova {

struct TNewsrcEntry {
    std::string Group;
    bool Subscribed = false;
    TArticleRanges Read;
};

struct TNewsrcText {
    std::vector<TNewsrcEntry> Entries;
    int Skipped = 0;  // lines that were not read: not a group's, too long, past kMaxGroups
};

inline constexpr size_t kMaxNewsrcGroups = 100000;
inline constexpr size_t kMaxNewsrcLine = 64 * 1024;
inline constexpr size_t kMaxNewsrcGroupName = 128;  // the group list's records hold no more

// The groups of a .newsrc text (LF or CR LF lines; blank lines are not counted as skipped).
TNewsrcText ParseNewsrc(std::string_view text);
// The lines of entries in their order: "group: ranges", or "group:" when none is read.
std::string WriteNewsrc(const std::vector<TNewsrcEntry>& entries);

}  // namespace kestrova
