#include "ui/message_box.h"

#include <algorithm>
#include <cstring>

#include "common/format_text.h"
#include "common/visible_text.h"
#include "platform/codepages.h"
#include "platform/display_width.h"
#include "ui/console_keys.h"
#include "ui/host_services.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {
namespace {

// A single horizontal line as wide as the widest of lines, in the OEM code page.
std::string HorizontalLine(const TStringList& lines) {
    int columns = 0;
    for (int i = 0; i < lines.Count(); ++i)
        columns = std::max(columns, platform::TextWidth(platform::OemToUtf8(lines[i])));
    std::string line;
    for (int i = 0; i < columns; ++i) line += "\u2500";
    return platform::Utf8ToOem(line);
}

int CallMessage(unsigned flags, const std::vector<std::string>& lines, int buttons) {
    FlushInput();
    return HostMessage(flags, lines, buttons);
}

std::string FileNameOf(const PluginPanelItem& item) {
    const char* name = item.FindData.cFileName;
    return std::string(name, strnlen(name, sizeof item.FindData.cFileName));
}

}  // namespace

int HostMessage(unsigned flags, const std::vector<std::string>& lines, int buttons) {
    std::vector<std::string> shown;
    shown.reserve(lines.size());
    for (const std::string& line : lines) shown.push_back(VisibleText(line));
    std::vector<const char*> items;
    items.reserve(shown.size());
    for (const std::string& line : shown) items.push_back(line.c_str());
    return StartupInfo.Message(StartupInfo.ModuleNumber, flags, nullptr, items.data(),
                               static_cast<int>(items.size()), buttons);
}

int ShowMessage(unsigned flags, const std::vector<std::string>& lines,
                const std::vector<int>& buttons) {
    std::vector<std::string> items(lines);
    for (int button : buttons) items.push_back(GetMsg(button));
    return CallMessage(flags, items, static_cast<int>(buttons.size()));
}

int ShowTextList(const TStringList& list, unsigned flags) {
    if (list.Count() == 0) return 0;
    std::vector<std::string> items;
    items.reserve(list.Count() + 2);
    for (int i = 0; i < list.Count(); ++i) items.push_back(list[i]);
    items.push_back(HorizontalLine(list));
    items.push_back(GetMsg(kMsgOk));
    return CallMessage(flags, items, 1);
}

int ConfirmDelete(const PluginPanelItem* items, int count) {
    const std::string body =
        count == 1 ? FileNameOf(items[0]) : FormatText(GetMsg(kMsgDeleteItems), {count});
    return ShowMessage(FMSG_WARNING, {GetMsg(kMsgDeleteTitle), body},
                       {kMsgDeleteButton, kMsgCancel}) == 0
               ? 1
               : 2;
}

}  // namespace kestrova
