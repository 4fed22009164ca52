// Reads the "Date:" text of an article.
#pragma once

#include <string_view>

#include "hostapi/plugin_api.h"

namespace kestrova {

// Reads "[weekday,] day month year hh:mm[:ss] [zone]" into fileTime, taking the time as UTC
// whatever zone the text names. Fields that are missing or do not convert keep the values of the
// current UTC time; a missing second reads as 0. The month is an English or a Russian (OEM code
// page 866) three-letter name, either case. Returns false and leaves fileTime as it was when the
// fields make no valid date, e.g. for an unknown month name.
bool ParseArticleDate(std::string_view text, FILETIME& fileTime);

// The English three-letter name of month 1 to 12 ("Jan" for any other number), as dates are
// written in articles.
std::string_view MonthName(unsigned month);

}  // namespace kestrova
