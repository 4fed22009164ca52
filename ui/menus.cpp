#include "ui/menus.h"

#include "common/visible_text.h"
#include "ui/console_keys.h"
#include "ui/host_services.h"
#include "ui/item_text.h"

namespace kestrova {
namespace {

constexpr int kHighestSelectable = 255;

FarMenuItem MenuItem(const char* text) {
    FarMenuItem item{};
    if (text)
        CopyItemText(item.Text, VisibleText(text));
    else
        item.Separator = 1;
    return item;
}

int ShowMenu(const std::string& title, std::vector<FarMenuItem>& items, int selected) {
    if (items.empty()) return -1;
    const int count = static_cast<int>(items.size());
    const bool valid = selected >= 0 && selected <= kHighestSelectable && selected < count;
    items[valid ? selected : 0].Selected = 1;
    FlushInput();
    return StartupInfo.Menu(StartupInfo.ModuleNumber, -1, -1, 0, FMENU_AUTOHIGHLIGHT, title.c_str(),
                            nullptr, nullptr, nullptr, nullptr, items.data(), count);
}

}  // namespace

int RunMenu(const std::string& title, const std::vector<const char*>& texts, int selected) {
    std::vector<FarMenuItem> items;
    items.reserve(texts.size());
    for (const char* text : texts) items.push_back(MenuItem(text));
    return ShowMenu(title, items, selected);
}

int RunListMenu(const std::string& title, const TStringList& list, int selected) {
    std::vector<FarMenuItem> items;
    items.reserve(list.Count());
    for (int i = 0; i < list.Count(); ++i)
        items.push_back(MenuItem(list[i] == "-" ? nullptr : list[i].c_str()));
    return ShowMenu(title, items, selected);
}

}  // namespace kestrova
