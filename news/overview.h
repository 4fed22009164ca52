// The overview of a group's articles (OVER): the field order that LIST OVERVIEW.FMT gives, and
// the header record an overview line fills.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "news/article_header.h"

namespace kestrova {

// Flag of a header record filled from the overview: the columns an overview lacks are empty until
// the article's header is read.
inline constexpr uint32_t kFromOverview = 0x400;

// Where each field the records take stands among the tab-separated fields after the article
// number; -1 when the overview lacks it.
struct TOverviewFormat {
    int Subject = 0;
    int From = 1;
    int Date = 2;
    int MessageId = 3;
    int References = 4;
    int Lines = 6;
};

// The order of the LIST OVERVIEW.FMT lines ("Subject:", ":lines", "Xref:full"); a line that is
// no field name of its own still takes its place.
TOverviewFormat OverviewFormatOf(const std::vector<std::string>& lines);

// Fills record from one overview line (number, then the fields in format's order): number,
// subject, from, date, message identifier and lines; the columns an overview lacks (X-Comment-To,
// Path, Organization, the charset) wait for the article's header (kFromOverview is set). False
// when the line does not begin with an article number. The References field goes to extras.
bool ApplyOverviewLine(std::string_view line, const TOverviewFormat& format, TArticleHeader& record,
                       THeaderExtras& extras);

}  // namespace kestrova
