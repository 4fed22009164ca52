#include "news/overview_columns.h"

#include <utility>

#include "news/list_block.h"
#include "news/overview.h"

namespace kestrova {

namespace {

// The record of article in index; nullptr when there is none.
char* RecordOf(TListBlock& index, const TArticleRef& article) {
    for (uint32_t i = 0; i < index.Count(); ++i) {
        char* bytes = index.Record(i);
        if (article.Number > 0 ? TArticleHeader::NumberOf(bytes) == article.Number
                               : !article.MessageId.empty() &&
                                     TArticleHeader::MessageIdOf(bytes) == article.MessageId) {
            return bytes;
        }
    }
    return nullptr;
}

}  // namespace

void FillOverviewColumns(TAccountCache& cache, const std::string& group, const TArticleRef& article,
                         const TArticleHeader& header) {
    TListBlock index(TArticleHeader::kSize);
    double cacheStamp = 0;
    if (!cache.Take(group, index, cacheStamp)) return;
    char* bytes = RecordOf(index, article);
    if (bytes == nullptr || (TArticleHeader::FlagsOf(bytes) & kFromOverview) == 0) {
        cache.Return(group, ListKind::Expiring, std::move(index), cacheStamp);
        return;
    }
    TArticleHeader record = TArticleHeader::Read(bytes);
    record.XCommentTo = header.XCommentTo;
    record.PathHeader = header.PathHeader;
    record.Organization = header.Organization;
    record.CharTable = header.CharTable;
    record.Flags &= ~kFromOverview;
    record.Write(bytes);
    cache.Change(group, ListKind::Expiring, std::move(index), cacheStamp);
}

}  // namespace kestrova
