// PostArticle: one text file posted as an article with the composed headers, or written to a
// file of the user's choice as the article that would be sent.
#include <memory>

#include "common/errors.h"
#include "common/streams.h"
#include "news/article_text.h"
#include "plugin/nntp_plugin.h"
#include "ui/composition.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/standard_dialogs.h"

namespace kestrova {
namespace {

void SaveArticle(const std::string& name, TStream& headers, TStream& body) {
    TFileStream file(name, kFileCreate);
    WriteArticle(headers, body, false, [&](std::string_view piece) { file.WriteText(piece); });
}

}  // namespace

int TNntpPlugin::PostArticle(const std::string& sourceDir, const std::string& sourceName,
                             TStream& headers, const TPostInfo& post, int outcome) {
    const std::string source = sourceDir + sourceName;
    TFileStream file(source, 0);
    const std::unique_ptr<TMemoryStream> converted = BuildBody(file, post);
    TStream& body = converted ? static_cast<TStream&>(*converted) : file;
    headers.SetPosition(0);
    body.SetPosition(0);
    if (outcome == kPostSave) {
        std::string name;
        if (InputDialog(GetMsg(kMsgSaveArticle), source, name) != kAccepted) throw EAbort();
        ShowStatus(kOpInteractive, GetMsg(kMsgSaveArticle), {}, name);
        SaveArticle(name, headers, body);
        return kAnswerDone;
    }
    Total = headers.Size() + body.Size();
    ProgressLines[0] = source.substr(0, kProgressWidth);
    ProgressLines[1] = post.Subject.substr(0, kProgressWidth);
    return ReceiveData(kRequestPost, reinterpret_cast<intptr_t>(&headers), &body);
}

}  // namespace kestrova
