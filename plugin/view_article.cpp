// Viewing an article's header or body from a newsgroup's panel: the part is fetched into a
// temporary file, shown in the host's viewer and the file deleted again.
#include "common/streams.h"
#include "news/article_retrieval.h"
#include "news/news_internet_manager.h"
#include "plugin/nntp_plugin.h"
#include "ui/file_helpers.h"
#include "ui/host_services.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {
namespace {
constexpr unsigned kOpenWrite = 1;  // TFileStream's open mode for writing

}  // namespace

void TNntpPlugin::MarkRead(int64_t number) {
    if (InInternetMode() && number > 0) InternetManager->MarkArticles(number, number, true);
}

void TNntpPlugin::ViewArticlePart(int request, const PluginPanelItem& item) {
    ViewArticle(request, ArticleRefOf(item), item.FindData.cFileName);
}

bool TNntpPlugin::ViewArticle(int request, const TArticleRef& article, const std::string& name,
                              const ViewerKeys* keys) {
    TTempFile file(GetTempFile());
    if (file.Name().empty()) return false;
    int result = kAnswerDone;
    {
        TFileStream stream(file.Name(), kOpenWrite);
        ShowStatus(kOpInteractive, GetMsg(kMsgReceivingArticle), {}, name);
        result = FetchArticle(request, article, stream);
    }
    if (result != kAnswerDone) return false;
    if (request != kRequestHead) MarkRead(article.Number);
    if (keys && StartupInfo.ViewerWithKeys)
        return StartupInfo.ViewerWithKeys(file.Name().c_str(), name.c_str(), keys) != 0;
    if (!StartupInfo.Viewer) return false;
    return StartupInfo.Viewer(file.Name().c_str(), name.c_str(), 0, 0, -1, -1, VF_NONMODAL) != 0;
}

}  // namespace kestrova
