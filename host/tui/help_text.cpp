#include "host/tui/help_text.h"

namespace kestrova::host::tui {
namespace {

const std::vector<std::string> kPanelKeys = {
    "Keys of the panels",
    "",
    "  F1                this help",
    "  F3, F4            view, edit the item under the cursor",
    "  F5, F6            copy, move the selected items to the other panel",
    "  F7, F8            make a folder, delete the selected items",
    "  F9                the module's configuration",
    "  F10               quit",
    "  F11               the modules' menu",
    "  Alt-F1            the disks menu: the local folder and the module's entries",
    "  Alt-F7            find the module's items by name",
    "  Tab               the other panel",
    "  Insert            select the item and move down (also Shift-Up, Shift-Down)",
    "  Gray +, -, *      select, deselect by a mask; invert the selection",
    "  Ctrl-R            read the panel again",
    "  Ctrl-L            the module's information in the other panel",
    "  Ctrl-0 .. Ctrl-9  view modes of the module's panel (also Alt-0 .. Alt-9, for",
    "                    terminals that send nothing for Ctrl with a digit)",
    "  Ctrl-PgUp         the folder above",
    "  Typing            goes to the command line; Enter runs it, Esc empties it.",
    "                    news://SERVER[:PORT][/GROUP] opens the module's panel.",
};

const std::vector<std::string> kDialogKeys = {
    "Keys of dialogs",
    "",
    "  F1                this help",
    "  Tab, Shift-Tab    the next, the previous item",
    "  Up, Down          the item on the row above, below",
    "  Enter             the default button (on a button: that button)",
    "  Esc               cancel",
    "  Space             toggle a check box, choose a radio button, press a button",
    "  Alt-letter        the item whose hot key (highlighted) it is; in a dialog without",
    "                    text fields the letter alone does the same",
    "  Ctrl-Down         the field's history",
    "  Ctrl-Y            empty the field",
};

const std::vector<std::string> kViewerKeys = {
    "Keys of the viewer",
    "",
    "  F1                this help",
    "  Arrows            scroll by a line, a column",
    "  PgUp, PgDn        scroll by a page",
    "  Home, End         the start, the end",
    "  F7, Shift-F7      search without regard to case, find the next",
    "  F8                switch between the text's own set and the next",
    "  Shift-F8          choose the character set",
    "  F3, F10, Esc      back",
};

void Append(std::vector<std::string>& lines, const std::vector<std::string>& more) {
    if (!lines.empty()) lines.emplace_back();
    lines.insert(lines.end(), more.begin(), more.end());
}

}  // namespace

std::vector<std::string> HelpLines(const HelpFile& file, const std::string& topic,
                                   HelpPlace place) {
    // The viewer's own keys come first: the module's topics are about its panel and dialogs.
    std::vector<std::string> lines;
    if (place == HelpPlace::Viewer) Append(lines, kViewerKeys);
    if (const HelpTopic* found = topic.empty() ? nullptr : file.Find(topic)) {
        Append(lines, found->Lines);
    } else {
        for (const HelpTopic& each : file.Topics()) Append(lines, each.Lines);
    }
    if (place == HelpPlace::Panel) Append(lines, kPanelKeys);
    if (place == HelpPlace::Dialog) Append(lines, kDialogKeys);
    return lines;
}

}  // namespace kestrova::host::tui
