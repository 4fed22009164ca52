// Replies and new articles: the posting questions, the template expanded into a temporary
// file, the host's editor on it, and the saved text posted with the composed headers.
#include <array>

#include "common/errors.h"
#include "common/streams.h"
#include "news/article_retrieval.h"
#include "news/news_internet_manager.h"
#include "news/posting.h"
#include "platform/clock.h"
#include "platform/filesystem.h"
#include "plugin/nntp_plugin.h"
#include "ui/composition.h"
#include "ui/file_helpers.h"
#include "ui/host_services.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/plugin_options.h"
#include "ui/templates.h"

namespace kestrova {
namespace {

constexpr int kEditorChanged = 1;

}  // namespace

bool TNntpPlugin::ComposeWithTemplate(const PluginPanelItem* item, const std::string& templateFile,
                                      int fetchRequest) {
    TMemoryStream source;
    TPostInfo post;
    // A new article answers "All", dated now.
    char all[] = "All";
    char empty[] = "";
    std::array<char*, 5> columns = {all, empty, empty, empty, empty};
    PluginPanelItem newItem{};
    newItem.FindData.ftCreationTime = platform::NowFileTime();
    newItem.CustomColumnData = columns.data();
    newItem.CustomColumnNumber = static_cast<int>(columns.size());
    if (fetchRequest != 0) {
        ShowStatus(kOpInteractive, GetMsg(kMsgReceivingArticle), {}, item->FindData.cFileName);
        const TArticleRef article = ArticleRefOf(*item);
        if (FetchArticle(fetchRequest, article, source) != kAnswerDone) return false;
        post.Subject = std::string(item->FindData.cFileName).substr(0, kSubjectLimit);
        if (item->CustomColumnNumber > 0 && item->CustomColumnData && item->CustomColumnData[0])
            post.Author = std::string(item->CustomColumnData[0]).substr(0, kAuthorLimit);
    } else {
        item = &newItem;
        post.Author = all;
    }

    TMemoryStream headers;
    const int outcome =
        ComposeHeaders(InternetManager->Account(), CurrentGroupName(*InternetManager),
                       PostingGroupNames(*InternetManager), post, headers);
    if (outcome == kPostCancel) return false;
    const std::string name = GetTempFile();
    if (name.empty()) return false;
    TTempFile text(name);
    TCursorPlace cursor;
    {
        TFileStream output(name, kFileCreate);
        const TTemplateSource from{
            InternetManager->Account(), post, source, *item, platform::NowSystemTime(),
            Options.Templates.QuoteChar};
        cursor = ExpandTemplate(from, templateFile, output);
    }
    if (!StartupInfo.Editor || StartupInfo.Editor(name.c_str(), post.Subject.c_str(), 0, 0, -1, -1,
                                                  0, cursor.Line, cursor.Column) != kEditorChanged)
        return false;
    if (StartupInfo.Control) StartupInfo.Control(Handle(), FCTL_REDRAWPANEL, nullptr);
    return PostArticle("", name, headers, post, outcome) == kAnswerDone;
}

}  // namespace kestrova
