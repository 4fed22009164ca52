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
#include "ui/readable_article.h"

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
    TMemoryStream fetched;
    ShowStatus(kOpInteractive, GetMsg(kMsgReceivingArticle), {}, name);
    // A body is read with its header, which names its charset and transfer encoding.
    const bool bodyOnly = request == kRequestBody;
    if (FetchArticle(bodyOnly ? kRequestArticle : request, article, fetched) != kAnswerDone)
        return false;
    // The viewer gets the text decoded; a copy (F5) still saves the server's bytes.
    const std::string_view raw(fetched.Memory(), static_cast<size_t>(fetched.Size()));
    const int fallback =
        InternetManager ? SlotTableCode(InternetManager->Account().CharTable) : kDefaultTable;
    const TReadableArticle readable = ReadableArticle(raw, fallback, bodyOnly);
    {
        TFileStream stream(file.Name(), kOpenWrite);
        stream.WriteText(readable.Text);
    }
    if (request != kRequestHead) MarkRead(article.Number);
    const char* charset = readable.Charset.empty() ? nullptr : readable.Charset.c_str();
    if (keys && StartupInfo.ViewerWithKeys)
        return StartupInfo.ViewerWithKeys(file.Name().c_str(), name.c_str(), charset, keys) != 0;
    if (!StartupInfo.Viewer) return false;
    return StartupInfo.Viewer(file.Name().c_str(), name.c_str(), 0, 0, -1, -1, VF_NONMODAL,
                              charset) != 0;
}

}  // namespace kestrova
