// ReceiveData: every request that may touch the network, with the reconnection of a dropped
// connection and the retry, skip and stop rules of ResolveFailure.
#include "common/errors.h"
#include "common/streams.h"
#include "news/article_header.h"
#include "news/article_retrieval.h"
#include "news/news_internet_manager.h"
#include "plugin/nntp_plugin.h"
#include "ui/char_tables.h"
#include "ui/console_keys.h"
#include "ui/panel_items.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

// The answer for a request code that the table does not hold.
constexpr int kNotInTable = 0;

const char* ArticleCommand(int request) {
    switch (request & 0xFFFF) {
        case kRequestHead:
            return "HEAD";
        case kRequestBody:
            return "BODY";
        default:
            return "ARTICLE";
    }
}

}  // namespace

int TNntpPlugin::ReceiveData(int request, intptr_t param, void* target) {
    TRetryState retry;
    retry.Left = Options.Connect.RetryCount;
    for (;;) {
        if (InInternetMode() && (request & kNetworkRequest) != 0 &&
            !InternetManager->IsConnected() && !InternetManager->Offline()) {
            const int reconnected = ReceiveData(kRequestReconnect, 0, nullptr);
            if (reconnected != kAnswerDone) return reconnected;
            // A group gone by the time it is entered again leaves the session in the own groups.
            UpdateTitle();
        }
        int result = kAnswerDone;
        try {
            if (CheckForKey(VK_ESCAPE)) throw EUserAbort(kItemFailure, "", "ReceiveData");
            result = PerformRequest(request, param, target);
        } catch (...) {
            result = ResolveFailure(std::current_exception(), request, param, target, retry);
            if (result == kAnswerPassOn) throw;
            if (result == kAnswerStop) throw EAbort();
        }
        if (result == kAnswerOffline) {
            InternetManager->WorkOffline();
            UpdateTitle();
            return kAnswerDone;
        }
        if (result != kAnswerRetry) return result;
    }
}

int TNntpPlugin::FetchArticle(int request, const TArticleRef& article, TStream& target,
                              std::span<const TArticleRef> following) {
    const TArticleRequest param{article, following};
    return ReceiveData(request, reinterpret_cast<intptr_t>(&param), &target);
}

int TNntpPlugin::PerformRequest(int request, intptr_t param, void* target) {
    switch (request & 0xFFFF) {
        case kRequestConnect:
            if (!InInternetMode()) return kNotInTable;
            InternetManager->Connect(*reinterpret_cast<const TAccountOptions*>(param));
            return kAnswerDone;
        case kRequestReconnect:
            if (!InInternetMode()) return kNotInTable;
            InternetManager->ConnectHostDef();
            return kAnswerDone;
        case kRequestList: {
            auto& items = *reinterpret_cast<PluginPanelItem**>(param);
            auto& count = *static_cast<int*>(target);
            // A retried listing replaces what a failed attempt had already handed out.
            FreePanelItems(items, count);
            items = nullptr;
            count = 0;
            if (InInternetMode()) {
                Received = 0;
                InternetManager->GetFindData(items, count);
            } else {
                RegistryManager->ListItems(items, count);
            }
            return kAnswerDone;
        }
        case kRequestSetDirectory:
            if (!InInternetMode()) return kNotInTable;
            InternetManager->SetDirectory(*reinterpret_cast<const std::string*>(param));
            return kAnswerDone;
        case kRequestArticle:
        case kRequestHead:
        case kRequestBody: {
            if (!InInternetMode()) return kNotInTable;
            auto& stream = *static_cast<TStream*>(target);
            // A retried fetch starts the stream again.
            stream.SetSize(0);
            stream.SetPosition(0);
            if ((request & 0xFFFF) == kRequestArticle) Received = 0;
            const auto& article = *reinterpret_cast<const TArticleRequest*>(param);
            TAccountCache& cache = InternetManager->Cache();
            const std::string& id = article.Article.MessageId;
            if (InternetManager->Offline()) {
                std::string text;
                if (!cache.FindArticle(ArticleCommand(request), id, text))
                    InternetManager->RequireServer("GetArticle");
                stream.WriteText(text);
                return kAnswerDone;
            }
            // What was fetched whole is kept for reading offline.
            TCopyingStream copy(stream, static_cast<uint64_t>(Options.Connect.ArticleCache) << 20);
            // A header read anyway fills the columns the group's overview lacked.
            TArticleHeader header;
            header.CharTable = kNoSlot;
            const bool withHeader = (request & 0xFFFF) != kRequestBody;
            if (GetArticle(InternetManager->Connection(), ArticleCommand(request), article.Article,
                           copy, article.Following, withHeader ? &header : nullptr) &&
                withHeader) {
                InternetManager->FillOverviewColumns(article.Article, header);
            }
            if (copy.Complete()) cache.KeepArticle(ArticleCommand(request), id, copy.Copy());
            return kAnswerDone;
        }
        case kRequestPost:
            if (!InInternetMode()) return kNotInTable;
            Received = 0;
            InternetManager->PostMessage(*reinterpret_cast<TStream*>(param),
                                         *static_cast<TStream*>(target));
            return kAnswerDone;
        default:
            return kNotInTable;
    }
}

}  // namespace kestrova
