#include "news/thread_listing.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "news/thread_order.h"

namespace kestrova {

namespace {

void Indent(char (&name)[sizeof(FAR_FIND_DATA::cFileName)], uint32_t depth) {
    const size_t blanks =
        static_cast<size_t>(kThreadIndentWidth) * std::min<uint32_t>(depth, kMaxThreadIndentLevels);
    const size_t length = std::strlen(name);
    const size_t kept = std::min(length, sizeof name - 1 - blanks);
    std::memmove(name + blanks, name, kept);
    std::memset(name, ' ', blanks);
    name[blanks + kept] = '\0';
}

// The thread order of the articles items show, in the order given.
std::vector<TThreadPlace> OrderOf(const std::vector<const PluginPanelItem*>& items,
                                  const TThreadLinks& links) {
    std::vector<TThreadArticle> articles(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        articles[i].Subject = items[i]->FindData.cFileName;
        if (items[i]->Description != nullptr) articles[i].MessageId = items[i]->Description;
    }
    return ThreadOrder(articles, links.Lines());
}

}  // namespace

void OrderByThread(PluginPanelItem* items, int count, const TThreadLinks& links) {
    if (count <= 0) return;
    std::vector<const PluginPanelItem*> articles;
    articles.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) articles.push_back(&items[i]);
    const std::vector<TThreadPlace> places = OrderOf(articles, links);
    // Place k takes the item at places[k].Index: each cycle of the permutation is walked once,
    // so every item moves once and no second array of them is needed.
    std::vector<bool> placed(places.size(), false);
    for (size_t start = 0; start < places.size(); ++start) {
        if (placed[start]) continue;
        const PluginPanelItem first = items[start];
        size_t at = start;
        while (places[at].Index != start) {
            items[at] = items[places[at].Index];
            placed[at] = true;
            at = places[at].Index;
        }
        items[at] = first;
        placed[at] = true;
    }
    for (size_t k = 0; k < places.size(); ++k) Indent(items[k].FindData.cFileName, places[k].Depth);
}

bool SelectThread(PanelInfo& info, const TThreadLinks& links) {
    std::vector<const PluginPanelItem*> articles;
    std::vector<int> panelIndex;
    int current = -1;
    for (int i = 0; info.PanelItems != nullptr && i < info.ItemsNumber; ++i) {
        if ((info.PanelItems[i].FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            continue;
        if (i == info.CurrentItem) current = static_cast<int>(articles.size());
        articles.push_back(&info.PanelItems[i]);
        panelIndex.push_back(i);
    }
    if (current < 0) return false;
    const std::vector<TThreadPlace> places = OrderOf(articles, links);
    const auto place = std::find_if(places.begin(), places.end(), [&](const TThreadPlace& p) {
        return p.Index == static_cast<uint32_t>(current);
    });
    for (const TThreadPlace& member : places) {
        if (member.Thread == place->Thread) {
            info.PanelItems[panelIndex[member.Index]].Flags |= PPIF_SELECTED;
        }
    }
    return true;
}

}  // namespace kestrova
