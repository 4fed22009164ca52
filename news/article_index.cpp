// Placeholder until the article index is built: the group listing and its refresh are refused
// with a clear error, so the session can be used and tested on its own.
#include "news/article_index.h"

#include "common/errors.h"
#include "news/news_internet_manager.h"

namespace kestrova {

namespace {

[[noreturn]] void NotAvailable(const char* procName) {
    throw EInternetError(kRefused, "The article index is not available in this build.", procName);
}

}  // namespace

void GetArticlesInfo(TNewsInternetManager&, const std::string&, PluginPanelItem*&, int&) {
    NotAvailable("GetArticlesInfo");
}

void MarkArticlesForRefresh(TNewsInternetManager&) {
    NotAvailable("MarkArticlesForRefresh");
}

}  // namespace kestrova
