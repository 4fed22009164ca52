// The thread view of a group's listing: the articles' panel items put in thread order
// (thread_order.h), each name indented by its depth; and the selection of one thread.
#pragma once

#include "hostapi/plugin_api.h"
#include "news/thread_links.h"

namespace kestrova {

// Blanks of indent per level of depth, and the deepest level indented further.
inline constexpr int kThreadIndentWidth = 2;
inline constexpr int kMaxThreadIndentLevels = 8;

// Puts count article items (their description is the Message-ID, their name the subject) in
// thread order by the References in links, and indents each name (cut at the end to fit).
void OrderByThread(PluginPanelItem* items, int count, const TThreadLinks& links);

// Marks every article of the current item's thread selected (PPIF_SELECTED) in info's items,
// whatever their order and indent; folders and the other items are left as they are. False
// when the current item is no article.
bool SelectThread(PanelInfo& info, const TThreadLinks& links);

}  // namespace kestrova
