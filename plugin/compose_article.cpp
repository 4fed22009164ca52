// Replies and new articles: the posting questions, the template expanded into a temporary
// file, the host's editor on it, and the saved text posted with the composed headers. A reply
// fetches the whole article: its header gives the thread and the groups, its body the quote.
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
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/plugin_options.h"
#include "ui/reply_headers.h"
#include "ui/signature.h"
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
    std::string newsgroups = CurrentGroupName(*InternetManager);
    if (fetchRequest != 0) {
        ShowStatus(kOpInteractive, GetMsg(kMsgReceivingArticle), {}, item->FindData.cFileName);
        TMemoryStream article;
        if (FetchArticle(fetchRequest, ArticleRefOf(*item), article) != kAnswerDone) return false;
        const std::string text = article.ReadText();
        const TParentHeaders parent = ReadParentHeaders(text);
        if (WantsMailReply(parent)) {
            ShowMessage(0, {item->FindData.cFileName, GetMsg(kMsgMailReplyWanted)}, {kMsgOk});
            return false;
        }
        source.WriteText(ArticleBodyOf(text));
        post.Subject = ReplySubject(item->FindData.cFileName).substr(0, kSubjectLimit);
        post.References = ReplyReferences(parent);
        if (const std::string groups = ReplyNewsgroups(parent); !groups.empty())
            newsgroups = groups;
        if (item->CustomColumnNumber > 0 && item->CustomColumnData && item->CustomColumnData[0])
            post.Author = std::string(item->CustomColumnData[0]).substr(0, kAuthorLimit);
    } else {
        item = &newItem;
        post.Author = all;
    }

    TMemoryStream headers;
    const int outcome = ComposePost(newsgroups, post, headers);
    if (outcome == kPostCancel) return false;
    const std::string name = GetTempFile();
    if (name.empty()) return false;
    TTempFile text(name);
    TCursorPlace cursor;
    {
        TMemoryStream expanded;
        const TTemplateSource from{
            InternetManager->Account(), post, source, *item, platform::NowSystemTime(),
            Options.Templates.QuoteChar};
        cursor = fetchRequest != 0 && templateFile.empty()
                     ? ExpandTemplateText(from, kDefaultReplyTemplate, expanded)
                     : ExpandTemplate(from, templateFile, expanded);
        TFileStream output(name, kFileCreate);
        output.WriteText(
            WithSignature(expanded.ReadText(), ReadSignature(Options.Templates.SignatureFile)));
    }
    if (!EditComposed(name, post.Subject, cursor.Line, cursor.Column)) return false;
    return PostOrKeep(name, headers, post, outcome);
}

int TNntpPlugin::ComposePost(const std::string& newsgroups, TPostInfo& post, TStream& headers) {
    TAccountOptions account = InternetManager->Account();
    const int outcome =
        ComposeHeaders(account, newsgroups, PostingGroupNames(*InternetManager), post, headers);
    InternetManager->SetSenderAddress(account.FromAddr);
    return outcome;
}

bool TNntpPlugin::EditComposed(const std::string& name, const std::string& title, int line,
                               int column) {
    if (!StartupInfo.Editor || StartupInfo.Editor(name.c_str(), title.c_str(), 0, 0, -1, -1, 0,
                                                  line, column) != kEditorChanged)
        return false;
    if (StartupInfo.Control) StartupInfo.Control(Handle(), FCTL_REDRAWPANEL, nullptr);
    return true;
}

}  // namespace kestrova
