// The older articles of a group that its first entry left out (the option "Headers on first
// entry"): the highest of their numbers, kept in the cache beside the group's index, so that a
// later visit still knows what the key for the older articles has to ask for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "news/cache.h"

namespace kestrova {

// The cache key: the group's name and a control character, which no group name entered from the
// panel holds.
std::string OlderArticlesKey(std::string_view group);

// The highest number of group's articles not listed yet; 0 when none are left out (or the entry is
// missing, expired or damaged).
int64_t OlderArticlesEnd(TCache& cache, std::string_view group);
// Keeps end for group, expiring like the index; 0 removes the entry. The caller saves.
void PutOlderArticlesEnd(TCache& cache, std::string_view group, int64_t end);

}  // namespace kestrova
