#include "host/tui/menu_model.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>

#include "platform/utf8.h"

namespace kestrova::host::tui {

MenuModel::MenuModel(const MenuRequest& menu, int pageRows)
    : wrap_((menu.Flags & FMENU_WRAPMODE) != 0), pageRows_(std::max(pageRows, 1)) {
    int marked = -1;
    for (const FarMenuItem& item : menu.Items) {
        MenuEntry entry;
        entry.Separator = item.Separator != 0;
        entry.Checked = item.Checked != 0;
        if (!entry.Separator)
            entry.Label =
                ParseMarkedText(std::string(item.Text, strnlen(item.Text, sizeof item.Text)),
                                (menu.Flags & FMENU_SHOWAMPERSAND) != 0);
        if (item.Selected && !entry.Separator && marked < 0)
            marked = static_cast<int>(entries_.size());
        entries_.push_back(std::move(entry));
    }
    AssignHotKeys(menu.Flags);
    Select(marked >= 0 ? marked : Nearest(0, +1));
}

void MenuModel::AssignHotKeys(unsigned flags) {
    if (!(flags & (FMENU_AUTOHIGHLIGHT | FMENU_REVERSEAUTOHIGHLIGHT))) return;
    std::set<char32_t> used;
    for (const MenuEntry& entry : entries_)
        if (entry.Label.HotIndex >= 0) used.insert(UpperCharacter(entry.Label.HotKey()));
    const bool reverse = (flags & FMENU_REVERSEAUTOHIGHLIGHT) != 0;
    const int count = static_cast<int>(entries_.size());
    for (int n = 0; n < count; ++n) {
        MenuEntry& entry = entries_[reverse ? count - 1 - n : n];
        if (entry.Separator || entry.Label.HotIndex >= 0) continue;
        const std::string& text = entry.Label.Text;
        for (size_t i = 0, next = 0; i < text.size(); i = next) {
            const char32_t c = platform::NextUtf8CodePoint(text, next);
            const bool letterOrDigit = c >= 0x80 || std::isalnum(static_cast<int>(c));
            if (letterOrDigit && used.insert(UpperCharacter(c)).second) {
                entry.Label.HotIndex = static_cast<int>(i);
                break;
            }
        }
    }
}

bool MenuModel::Choosable(int index) const {
    return index >= 0 && index < static_cast<int>(entries_.size()) && !entries_[index].Separator;
}

int MenuModel::Nearest(int index, int step) const {
    for (; index >= 0 && index < static_cast<int>(entries_.size()); index += step)
        if (Choosable(index)) return index;
    return -1;
}

void MenuModel::SetPageRows(int rows) {
    pageRows_ = std::max(rows, 1);
    Select(selected_);
}

void MenuModel::Select(int index) {
    if (index < 0) return;
    selected_ = index;
    if (selected_ < top_) top_ = selected_;
    if (selected_ >= top_ + pageRows_) top_ = selected_ - pageRows_ + 1;
    const int last = static_cast<int>(entries_.size()) - pageRows_;
    top_ = std::clamp(top_, 0, std::max(last, 0));
}

void MenuModel::Move(int step) {
    const int count = static_cast<int>(entries_.size());
    int next = Nearest(selected_ + step, step);
    if (next < 0 && wrap_) next = Nearest(step > 0 ? 0 : count - 1, step);
    Select(next);
}

MenuState MenuModel::HandleKey(const Keystroke& key) {
    const int count = static_cast<int>(entries_.size());
    if (key.Is(VK_ESCAPE) || key.Is(VK_F10)) return MenuState::Cancelled;
    if (key.Is(VK_RETURN)) return selected_ >= 0 ? MenuState::Chosen : MenuState::Open;
    if (key.Is(VK_UP)) {
        Move(-1);
    } else if (key.Is(VK_DOWN)) {
        Move(+1);
    } else if (key.Is(VK_HOME)) {
        Select(Nearest(0, +1));
    } else if (key.Is(VK_END)) {
        Select(Nearest(count - 1, -1));
    } else if (key.Is(VK_PRIOR)) {
        const int target = std::max(selected_ - pageRows_, 0);
        Select(Nearest(target, +1) <= selected_ ? Nearest(target, +1) : selected_);
    } else if (key.Is(VK_NEXT)) {
        const int target = std::min(selected_ + pageRows_, count - 1);
        Select(Nearest(target, -1) >= selected_ ? Nearest(target, -1) : selected_);
    } else if (const char32_t wanted = HotKeyOf(key)) {
        for (int i = 0; i < count; ++i)
            if (Choosable(i) && entries_[i].Label.HotIndex >= 0 &&
                UpperCharacter(entries_[i].Label.HotKey()) == wanted) {
                Select(i);
                return MenuState::Chosen;
            }
        for (int n = 1; n <= count; ++n) {
            const int i = (selected_ + n) % count;
            size_t first = 0;
            if (Choosable(i) && !entries_[i].Label.Text.empty() &&
                UpperCharacter(platform::NextUtf8CodePoint(entries_[i].Label.Text, first)) ==
                    wanted) {
                Select(i);
                break;
            }
        }
    }
    return MenuState::Open;
}

}  // namespace kestrova::host::tui
