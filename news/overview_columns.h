// The columns a group's overview lacks (X-Comment-To, Path, Organization, the charset), filled in
// a cached index record when the article's header is read anyway: on view and on copy.
#pragma once

#include <string>

#include "news/account_cache.h"
#include "news/article_header.h"
#include "news/article_retrieval.h"

namespace kestrova {

// Fills those columns of article's record in group's cached index from header (read by
// GetArticle) and clears its kFromOverview; nothing when the record is not there or not flagged.
// The article is found by number, or by identifier when it has none. The index is changed in
// place and not written (TAccountCache::Change): the caller writes it once, after many articles.
void FillOverviewColumns(TAccountCache& cache, const std::string& group, const TArticleRef& article,
                         const TArticleHeader& header);

}  // namespace kestrova
