// PutFiles in internet mode: every file copied into the panel is posted as an article (or
// saved as an article file), after one posting dialog for all of them; a move deletes a file
// once the server accepted it, and nothing else.
#include <vector>

#include "common/errors.h"
#include "common/streams.h"
#include "news/news_internet_manager.h"
#include "news/posting.h"
#include "platform/filesystem.h"
#include "plugin/item_collection.h"
#include "plugin/nntp_plugin.h"
#include "plugin/target_names.h"
#include "ui/composition.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {

void TNntpPlugin::PutArticles(PluginPanelItem* items, int itemsNumber, int move, int opMode) {
    TMemoryStream headers;
    TPostInfo post;
    int outcome = kPostComposed;
    if ((opMode & OPM_SILENT) == 0) {
        if (itemsNumber == 1) post.Subject = items[0].FindData.cFileName;
        outcome = ComposePost(CurrentGroupName(*InternetManager), post, headers);
        if (outcome == kPostCancel) throw EAbort();
    }
    ShowStatus(kOpRunning, GetMsg(kMsgPleaseWait));
    std::vector<TFindItem> list;
    if (!CollectItems(*this, items, itemsNumber, false, list)) throw EAbort();

    for (size_t i = 0; i < list.size(); ++i) {
        const TFindItem& record = list[i];
        bool done = true;
        if (!IsFolder(record)) {
            const TTargetNames names =
                MakeTargetNames(record, kTargetApplyMask, "", platform::kPathDelim, '\\');
            done = PostArticle(names.SourceDir, names.SourceName, headers, post, outcome) ==
                   kAnswerDone;
            // Only a file the server took goes: a saved article leaves its text where it was.
            if (done && move && outcome != kPostSave)
                platform::DeleteFile(names.SourceDir + names.SourceName);
        }
        if (i < static_cast<size_t>(itemsNumber) && done) items[i].Flags &= ~PPIF_SELECTED;
    }
    if (move) {
        for (size_t i = list.size(); i-- > 0;)
            if (IsFolder(list[i])) platform::RemoveDirectory(list[i].FindData.cFileName);
    }
}

}  // namespace kestrova
