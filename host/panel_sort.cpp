#include "host/panel_sort.h"

#include <strings.h>

#include "host/panel_view.h"

namespace kestrova::host {
namespace {

uint64_t WriteTime(const PluginPanelItem& item) {
    const FILETIME& time = item.FindData.ftLastWriteTime;
    return uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime;
}

// -1, 0 or 1 as a comes before, with or after b in mode, ascending.
int Compare(const PluginPanelItem& a, const PluginPanelItem& b, int sortMode) {
    switch (sortMode) {
        case SM_NAME:
            return strcasecmp(a.FindData.cFileName, b.FindData.cFileName);
        case SM_SIZE:
            return ItemSize(a) < ItemSize(b) ? -1 : ItemSize(b) < ItemSize(a);
        case SM_MTIME:
            return WriteTime(a) < WriteTime(b) ? -1 : WriteTime(b) < WriteTime(a);
        default:
            return 0;
    }
}

}  // namespace

void SortPanelItems(PanelItemList& items, int sortMode, bool descending) {
    if (sortMode != SM_NAME && sortMode != SM_SIZE && sortMode != SM_MTIME) return;
    const size_t first = items.Size() > 0 && IsDotDot(items[0]) ? 1 : 0;
    items.StableSort(first, [&](const PluginPanelItem& a, const PluginPanelItem& b) {
        const int order = Compare(a, b, sortMode);
        return descending ? order > 0 : order < 0;
    });
}

}  // namespace kestrova::host
