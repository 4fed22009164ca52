// The built-in viewer of the terminal front end: the whole screen, a title line above the text.
#include <cstring>

#include "host/host_error.h"
#include "host/tui/box_drawing.h"
#include "host/tui/key_bar.h"
#include "host/tui/panel_painter.h"
#include "host/tui/terminal_front_end.h"
#include "host/tui/viewer_model.h"
#include "platform/codepages.h"
#include "platform/display_width.h"
#include "platform/filesystem.h"
#include "platform/utf8.h"

namespace kestrova::host::tui {
namespace {

constexpr const char* kSearchHistory = "ViewerSearch";

FarDialogItem DialogItem(int type, int x1, int y1, int x2, const std::string& text,
                         uint32_t flags = 0) {
    FarDialogItem item{};
    item.Type = type;
    item.X1 = x1;
    item.Y1 = y1;
    item.X2 = x2;
    item.Flags = flags;
    text.copy(item.Data, platform::Utf8PrefixLength(text, sizeof item.Data - 1));
    return item;
}

void DrawViewer(ViewerModel& viewer, const std::string& title, const ViewerKeys* keys) {
    const int width = ScreenWidth();
    Fill(Rect{0, 0, width, 1}, Role::ViewerStatus);
    const std::string where = viewer.CodePageNames()[viewer.CodePage()] + "  Line " +
                              std::to_string(viewer.TopLine() + 1) + "  " +
                              std::to_string(viewer.Percent()) + "%";
    const int whereX = std::max(width - platform::TextWidth(where) - 1, 0);
    PutText(0, 0, title, Role::ViewerStatus, std::max(whereX - 1, 0));
    PutText(whereX, 0, where, Role::ViewerStatus);
    const std::vector<std::string> lines = viewer.VisibleLines();
    for (int row = 0; row + 2 < ScreenHeight(); ++row) {
        const std::string line =
            row < static_cast<int>(lines.size()) ? platform::OemToUtf8(lines[row]) : std::string();
        PutUtf8(0, row + 1, platform::FitToWidth(line, width), Role::Viewer);
    }
    if (const auto match = viewer.MatchCell()) {
        const std::string line = platform::OemToUtf8(lines[match->first]);
        const size_t from = platform::PrefixForWidth(line, std::max(match->second, 0));
        const std::string_view rest = std::string_view(line).substr(from);
        const int cells = platform::TextWidth(platform::OemToUtf8(viewer.LastSearch()));
        PutUtf8(platform::TextWidth(line.substr(0, from)), match->first + 1,
                rest.substr(0, platform::PrefixForWidth(rest, cells)), Role::DialogFocus);
    }
    const std::vector<std::string> sets = viewer.CodePageNames();
    std::array<std::string, 12> labels =
        ViewerKeyBarLabels(sets.size() > 1 ? sets[viewer.CodePage() == 1 ? 0 : 1] : "");
    for (size_t f = 0; keys && keys->Labels && f < labels.size(); ++f)
        if (keys->Labels[f] && *keys->Labels[f]) labels[f] = keys->Labels[f];
    PaintKeyBar(ScreenHeight() - 1, labels);
    HideCursor();
}

// The text area: the screen without the title line and the key bar.
int ViewerRows() {
    return std::max(ScreenHeight() - 2, 1);
}

}  // namespace

std::optional<std::string> TerminalFrontEnd::AskText(const std::string& title,
                                                     const std::string& prompt,
                                                     const std::string& text,
                                                     const char* historyName) {
    constexpr int kWidth = 64;
    FarDialogItem items[] = {
        DialogItem(DI_DOUBLEBOX, 3, 1, kWidth - 4, title),
        DialogItem(DI_TEXT, 5, 2, 0, prompt),
        DialogItem(DI_EDIT, 5, 3, kWidth - 6, text, DIF_HISTORY),
        DialogItem(DI_TEXT, 5, 4, 0, "", DIF_SEPARATOR),
        DialogItem(DI_BUTTON, 0, 5, 0, "OK", DIF_CENTERGROUP),
        DialogItem(DI_BUTTON, 0, 5, 0, "Cancel", DIF_CENTERGROUP),
    };
    items[0].Y2 = 6;
    items[2].History = historyName;
    items[2].Focus = 1;
    items[4].DefaultButton = 1;
    if (RunDialog(items, 6, kWidth, 8, false) != 4) return std::nullopt;
    return std::string(items[2].Data);
}

bool TerminalFrontEnd::View(const std::string& file, const std::string& title,
                            const std::string& charset, const ViewerKeys* keys) {
    std::unique_ptr<ViewedFile> viewed;
    try {
        viewed = std::make_unique<ViewedFile>(platform::ToNativePath(file));
    } catch (const HostError&) {
        return false;
    }
    ScreenSnapshot beneath;
    ViewerModel viewer(*viewed, ViewerRows(), ScreenWidth(), charset);
    while (true) {
        DrawViewer(viewer, title, keys);
        FlushScreen();
        const std::optional<Keystroke> key = NextKeystroke();
        if (!key) {
            viewer.Resize(ViewerRows(), ScreenWidth());
            continue;
        }
        switch (viewer.HandleKey(*key)) {
            case ViewerState::Open:
                break;
            case ViewerState::Unused:
                if (!keys || !keys->ProcessKey ||
                    keys->ProcessKey(keys->Param, key->Key, key->Control) != VKH_CLOSE)
                    break;
                [[fallthrough]];
            case ViewerState::Closed:
                beneath.Restore();
                FlushScreen();
                return true;
            case ViewerState::SearchWanted:
                if (const auto text =
                        AskText("Search", "Search for", viewer.LastSearch(), kSearchHistory);
                    text && !text->empty() && !viewer.Search(*text))
                    Tell("Search", "Could not find \"" + *text + "\"");
                break;
            case ViewerState::NotFound:
                Tell("Search", "Could not find \"" + viewer.LastSearch() + "\"");
                break;
            case ViewerState::HelpWanted:
                ShowHelp("", HelpPlace::Viewer);
                break;
            case ViewerState::TablesWanted: {
                MenuRequest menu;
                menu.Title = "Character set";
                menu.Flags = FMENU_AUTOHIGHLIGHT;
                const std::vector<std::string> names = viewer.CodePageNames();
                for (size_t i = 0; i < names.size(); ++i) {
                    FarMenuItem entry{};
                    names[i].copy(entry.Text,
                                  platform::Utf8PrefixLength(names[i], sizeof entry.Text - 1));
                    entry.Selected = static_cast<int>(i) == viewer.CodePage();
                    menu.Items.push_back(entry);
                }
                const int chosen = RunMenu(menu);
                if (chosen >= 0) viewer.SetCodePage(chosen);
                break;
            }
        }
    }
}

}  // namespace kestrova::host::tui
