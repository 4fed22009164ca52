// Reading a group's articles one after another in the host's viewer: F3 opens the current one,
// and the viewer's keys that the host hands back move on (Space at the end: the next unread
// article, then the next own group with unread articles; F5/P, F6/N: the previous and next
// article of the panel) or reply (F4/R) as F4 does on the panel.
#include <array>
#include <string>

#include "common/format_text.h"
#include "news/article_retrieval.h"
#include "news/group_list.h"
#include "news/news_internet_manager.h"
#include "plugin/nntp_plugin.h"
#include "ui/host_services.h"
#include "ui/key_context.h"
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

struct ViewerKeyRow {
    int Key;
    TNntpPlugin::ReaderMove Move;
};

// Keys pressed without a modifier; letters as their upper-case ASCII.
constexpr std::array kViewerKeys = {
    ViewerKeyRow{VK_SPACE, TNntpPlugin::ReaderMove::NextUnread},
    ViewerKeyRow{VK_F6, TNntpPlugin::ReaderMove::Next},
    ViewerKeyRow{'N', TNntpPlugin::ReaderMove::Next},
    ViewerKeyRow{VK_F5, TNntpPlugin::ReaderMove::Previous},
    ViewerKeyRow{'P', TNntpPlugin::ReaderMove::Previous},
    ViewerKeyRow{VK_F4, TNntpPlugin::ReaderMove::Reply},
    ViewerKeyRow{'R', TNntpPlugin::ReaderMove::Reply},
};

// The viewer's key handler: param is the ReaderMove the viewer leaves with.
int TakeViewerKey(void* param, int key, unsigned controlState) {
    auto& move = *static_cast<TNntpPlugin::ReaderMove*>(param);
    if ((controlState & (PKF_CONTROL | PKF_ALT | PKF_SHIFT)) != 0) return VKH_UNUSED;
    for (const ViewerKeyRow& row : kViewerKeys) {
        if (row.Key == key) {
            move = row.Move;
            return VKH_CLOSE;
        }
    }
    return VKH_UNUSED;
}

// The first unread article of info's items after from, else before it (index 0 is ".."); -1
// when every article is read.
int NextUnreadItem(const PanelInfo& info, int from, const TArticleRanges& read) {
    for (int step = 1; step < info.ItemsNumber; ++step) {
        const int at = (from + step) % info.ItemsNumber;
        const intptr_t number = info.PanelItems[at].UserData;
        if (at > 0 && number > 0 && !read.Contains(number)) return at;
    }
    return -1;
}

}  // namespace

TNntpPlugin::ReaderMove TNntpPlugin::ViewInReader(const PluginPanelItem& item) {
    std::array<const char*, 12> labels{};
    labels[3] = GetMsg(kMsgKeyReply);
    labels[4] = GetMsg(kMsgKeyPrevArticle);
    labels[5] = GetMsg(kMsgKeyNextArticle);
    ReaderMove move = ReaderMove::Close;
    const ViewerKeys keys{sizeof(ViewerKeys), labels.data(), TakeViewerKey, &move};
    if (!ViewArticle(kRequestBody, ArticleRefOf(item), item.FindData.cFileName, &keys))
        return ReaderMove::Close;
    return move;
}

void TNntpPlugin::ReadArticles(TKeyContext& context) {
    // The panel is read again afterwards: the articles read no longer stand out.
    context.Flags |= kKeyRedrawPanel | kKeyUpdatePanel;
    int at = context.Info.CurrentItem;
    while (InInternetMode() && at > 0 && at < context.Info.ItemsNumber) {
        context.Redraw.CurrentItem = at;
        const PanelInfo& info = context.Info;
        switch (ViewInReader(info.PanelItems[at])) {
            case ReaderMove::Close:
                return;
            case ReaderMove::Reply:
                ComposeWithTemplate(&info.PanelItems[at], Options.Templates.ReplyTemplate,
                                    kRequestArticle);
                break;  // back to the article replied to
            case ReaderMove::Next:
                if (at + 1 >= info.ItemsNumber) return;
                ++at;
                break;
            case ReaderMove::Previous:
                if (at <= 1) return;
                --at;
                break;
            case ReaderMove::NextUnread:
                at = NextUnreadItem(info, at,
                                    InternetManager->Marks().Of(InternetManager->GetPath()));
                if (at < 0 && EnterNextUnreadGroup(context))
                    at = NextUnreadItem(context.Info, 0,
                                        InternetManager->Marks().Of(InternetManager->GetPath()));
                break;
        }
    }
}

bool TNntpPlugin::EnterNextUnreadGroup(TKeyContext& context) {
    const std::string current = InternetManager->GetPath();
    TReadMarks& marks = InternetManager->Marks();
    const std::vector<TGroupRecord> own = OwnGroupRecords(InternetManager->Cache());
    // The own groups after the current one, then those before it.
    size_t start = 0;
    while (start < own.size() && own[start].Name != current) ++start;
    for (size_t step = 1; step <= own.size(); ++step) {
        const TGroupRecord& group = own[(start + step) % own.size()];
        if (group.Name == current) continue;
        const int64_t width = int64_t{group.Last} - group.First + 1;
        const int64_t unread = width - marks.Of(group.Name).CountIn(group.First, group.Last);
        if (width <= 0 || unread <= 0) continue;
        const int answer = ShowMessage(
            0,
            {PanelHost, FormatText(GetMsg(kMsgNoMoreUnread), {current}),
             FormatText(GetMsg(kMsgNextGroupQuestion), {group.Name, static_cast<int>(unread)})},
            {kMsgOk, kMsgCancel});
        if (answer != 0) return false;
        SetDirectory(GroupItemName(group.Name), 0);  // a failure is shown there
        if (InternetManager->GetPath() != group.Name || !StartupInfo.Control) return false;
        StartupInfo.Control(Handle(), FCTL_UPDATEPANEL, nullptr);
        if (!StartupInfo.Control(Handle(), FCTL_GETPANELINFO, &context.Info)) return false;
        context.Redraw = {0, 0};
        return true;
    }
    ShowMessage(0, {PanelHost, GetMsg(kMsgNoUnreadLeft)}, {kMsgOk});
    return false;
}

}  // namespace kestrova
