// The group or article that the path of an opened news URL names.
#include "news/article_retrieval.h"
#include "plugin/nntp_plugin.h"
#include "plugin/operation_scope.h"

namespace kestrova {

void TNntpPlugin::OpenUrlTarget(const TNewsTarget& target) {
    if (target.What == TNewsTarget::Kind::None || !InInternetMode()) return;
    const bool group = target.What == TNewsTarget::Kind::Group;
    try {
        TOperationScope operation(*this, group ? kRequestSetDirectory : kRequestArticle, 0);
        if (group) {
            ReceiveData(kRequestSetDirectory, reinterpret_cast<intptr_t>(&target.Name), nullptr);
        } else {
            TArticleRef article;
            article.Number = 0;  // by its identifier alone
            article.MessageId = target.Name;
            ViewArticle(kRequestArticle, article, target.Name);
        }
    } catch (...) {
        ReportError(std::current_exception(), group ? "SetDirectory" : "GetFiles", 0);
    }
    if (InInternetMode()) UpdateTitle();
}

}  // namespace kestrova
