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

void TNntpPlugin::ViewArticlePart(int request, const PluginPanelItem& item) {
    ViewArticle(request, ArticleRefOf(item), item.FindData.cFileName);
}

void TNntpPlugin::ViewArticle(int request, const TArticleRef& article, const std::string& name) {
    TTempFile file(GetTempFile());
    if (file.Name().empty()) return;
    TMemoryStream fetched;
    ShowStatus(kOpInteractive, GetMsg(kMsgReceivingArticle), {}, name);
    // A body is read with its header, which names its charset and transfer encoding.
    const bool bodyOnly = request == kRequestBody;
    if (FetchArticle(bodyOnly ? kRequestArticle : request, article, fetched) != kAnswerDone) return;
    // The viewer gets the text decoded; a copy (F5) still saves the server's bytes.
    const std::string_view raw(fetched.Memory(), static_cast<size_t>(fetched.Size()));
    const int fallback =
        InternetManager ? SlotTableCode(InternetManager->Account().CharTable) : kDefaultTable;
    const TReadableArticle readable = ReadableArticle(raw, fallback, bodyOnly);
    {
        TFileStream stream(file.Name(), kOpenWrite);
        stream.WriteText(readable.Text);
    }
    if (!StartupInfo.Viewer) return;
    StartupInfo.Viewer(file.Name().c_str(), name.c_str(), 0, 0, -1, -1, VF_NONMODAL,
                       readable.Charset.empty() ? nullptr : readable.Charset.c_str());
}

}  // namespace kestrova
