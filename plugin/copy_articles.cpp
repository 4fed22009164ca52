// Copying articles out of a connected panel: each selected article is fetched whole into a file
// of the destination folder, named by the download template or its subject, with the server's
// CR LF line ends or, when the option asks, LF; a selected group becomes an empty folder. A move
// copies too: articles are never deleted from a server.
#include <string>
#include <unordered_set>
#include <vector>

#include "common/errors.h"
#include "common/format_text.h"
#include "common/lf_line_end_stream.h"
#include "common/streams.h"
#include "news/article_retrieval.h"
#include "news/news_internet_manager.h"
#include "platform/filesystem.h"
#include "platform/partial_files.h"
#include "plugin/item_collection.h"
#include "plugin/nntp_plugin.h"
#include "plugin/overwrite_answer.h"
#include "plugin/target_names.h"
#include "ui/file_helpers.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {
// Prefix of the file an article is written into before it takes its name.
constexpr const char* kPartialPrefix = ".kestrova-";
// Write access for TFileStream's open mode.
constexpr unsigned kOpenWrite = 1;

std::string Head(const std::string& text) {
    return text.substr(0, kProgressWidth);
}

// The end of a path: its file name is what tells one target from the next.
std::string Tail(const std::string& path) {
    return path.size() > kProgressWidth ? path.substr(path.size() - kProgressWidth) : path;
}

TArticleRef ArticleRef(const TFindItem& record) {
    return {static_cast<int32_t>(record.Number), record.MessageId};
}

// The articles whose target the overwrite question may be asked about: the file exists, or an
// earlier item of the list goes to the same file. Their commands never go out ahead of that.
std::vector<bool> AskedAboutFirst(const std::vector<TFindItem>& list,
                                  const std::vector<TTargetNames>& names) {
    std::vector<bool> asks(list.size(), false);
    std::unordered_set<std::string> targets;
    for (size_t i = 0; i < list.size(); ++i) {
        if (IsFolder(list[i])) continue;
        const std::string target = names[i].Dir + names[i].Name;
        FAR_FIND_DATA existing{};
        asks[i] = !targets.insert(target).second || TargetTaken(target, existing);
    }
    return asks;
}

[[noreturn]] void RaiseCannotCreate(const std::string& fileName) {
    throw EFCreateError(kItemFailure, FormatText("Cannot create file '%s'", {fileName}), "Create");
}

}  // namespace

void TNntpPlugin::CopyArticlesOut(PluginPanelItem* items, int itemsNumber,
                                  const std::vector<TFindItem>& list, const std::string& dest) {
    ProgressTitle = GetMsg(kMsgCopyArticles);
    std::vector<TTargetNames> names;
    names.reserve(list.size());
    for (const TFindItem& record : list) {
        names.push_back(MakeArticleTargetNames(record, dest, platform::kPathDelim,
                                               Options.Templates.DownloadTemplate));
    }
    const std::vector<bool> asks = AskedAboutFirst(list, names);
    TOverwriteAnswer answer;
    std::vector<TArticleRef> ahead;
    for (size_t i = 0; i < list.size(); ++i) {
        const TFindItem& record = list[i];
        bool skipped = false;
        if (IsFolder(record)) {
            ForceDirectories(names[i].Dir);
        } else {
            ahead.clear();
            const size_t depth = static_cast<size_t>(Options.Connect.PipelineDepth);
            for (size_t j = i + 1; j < list.size() && ahead.size() + 1 < depth && !asks[j]; ++j) {
                if (!IsFolder(list[j])) ahead.push_back(ArticleRef(list[j]));
            }
            skipped = !answer.Decide(record.FindData, names[i].Dir + names[i].Name) ||
                      !ReceiveArticle(record, names[i].Dir, names[i].Name, ahead);
        }
        if (i < static_cast<size_t>(itemsNumber) && !skipped) items[i].Flags &= ~PPIF_SELECTED;
    }
    // The columns the copied headers filled, written once for the whole copy.
    InternetManager->Cache().SaveChanges();
}

bool TNntpPlugin::ReceiveArticle(const TFindItem& record, const std::string& dir,
                                 const std::string& name, std::span<const TArticleRef> following) {
    const std::string target = dir + name;
    // The article is written aside and takes its name only when complete, so that a failed or
    // skipped fetch leaves no partial article and an overwritten file stays until then. The
    // partial is locked while written; those of a process that was killed are cleared away.
    ForceDirectories(dir);
    platform::RemoveAbandonedPartials(dir, kPartialPrefix);
    TTempFile partial(platform::CreateTempFile(dir, kPartialPrefix, platform::TempAccess::LikeNew));
    if (partial.Name().empty()) RaiseCannotCreate(target);
    const platform::TPartialFileLock lock(partial.Name());
    ProgressLines[0] = Head(record.FindData.cFileName);
    ProgressLines[1] = Tail(target);
    Total = record.FindData.nFileSizeLow;
    int result = kAnswerDone;
    {
        TFileStream file(partial.Name(), kOpenWrite, target);
        TLfLineEndStream lfFile(file);
        TStream& stream = Options.Templates.SaveWithLf ? static_cast<TStream&>(lfFile) : file;
        result = FetchArticle(kRequestArticle, ArticleRef(record), stream, following);
        lfFile.Finish();
    }
    if (result != kAnswerDone) return false;
    if (!platform::ReplaceFile(partial.Name(), target)) RaiseCannotCreate(target);
    partial.Release();
    MarkRead(record.Number);
    return true;
}

}  // namespace kestrova
