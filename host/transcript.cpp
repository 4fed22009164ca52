#include "host/transcript.h"

#include <cstring>

#include "host/viewed_charset.h"
#include "platform/codepages.h"
#include "platform/utf8.h"

namespace kestrova::host {
namespace {

const char* DialogItemType(int type) {
    switch (type) {
        case DI_TEXT:
            return "text";
        case DI_VTEXT:
            return "vtext";
        case DI_SINGLEBOX:
            return "singlebox";
        case DI_DOUBLEBOX:
            return "doublebox";
        case DI_EDIT:
            return "edit";
        case DI_PSWEDIT:
            return "pswedit";
        case DI_FIXEDIT:
            return "fixedit";
        case DI_BUTTON:
            return "button";
        case DI_CHECKBOX:
            return "checkbox";
        case DI_RADIOBUTTON:
            return "radiobutton";
        default:
            return "item";
    }
}

// The UTF-8 form of an OEM text, its control characters (but TAB) shown as their pictures
// (U+2400 + code, U+2421 for DEL) and a C1 control of the OEM code page as U+FFFD: whatever the
// module hands over (a line of a viewed article, a server's reply in a message), it can neither
// move the cursor nor change the colours or the title of the terminal that shows the transcript,
// nor start a transcript line of its own.
std::string VisibleLine(std::string_view oemLine) {
    const std::string utf8 = platform::OemToUtf8(oemLine);
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        const char32_t c = platform::NextUtf8CodePoint(utf8, pos);
        if (!platform::IsControlCharacter(c) || c == '\t')
            platform::AppendUtf8(out, c);
        else
            platform::AppendUtf8(out, c >= 0x80   ? platform::kReplacementCharacter
                                      : c == 0x7F ? char32_t{0x2421}
                                                  : 0x2400 + c);
    }
    return out;
}

}  // namespace

std::string Transcript::Utf8(const std::string& oemText) {
    return VisibleLine(oemText);
}

std::string Transcript::Quoted(const std::string& oemText) {
    return "\"" + Utf8(oemText) + "\"";
}

std::string Transcript::RelativeFolder(const std::string& folder, const std::string& base) {
    if (folder == base) return ".";
    if (folder.size() > base.size() && folder.starts_with(base) && folder[base.size()] == '/')
        return "." + folder.substr(base.size());
    return folder;
}

void Transcript::Raw(const std::string& utf8Line) {
    out_ << utf8Line << '\n';
}

void Transcript::Labelled(const std::string& label, const std::string& oemText) {
    out_ << label << Utf8(oemText) << '\n';
}

void Transcript::Message(const MessageRequest& message) {
    out_ << (message.Buttons.empty() ? "status " : "message ")
         << Quoted(message.Lines.empty() ? std::string() : message.Lines.front());
    if (message.Flags & FMSG_WARNING) out_ << " (warning)";
    if (message.Flags & FMSG_LEFTALIGN) out_ << " (left aligned)";
    out_ << ":\n";
    for (size_t i = 1; i < message.Lines.size(); ++i)
        out_ << "  | " << Utf8(message.Lines[i]) << '\n';
    if (!message.Buttons.empty()) {
        out_ << "  buttons:";
        for (const std::string& button : message.Buttons) out_ << " [" << Utf8(button) << "]";
        out_ << '\n';
    }
}

void Transcript::Menu(const MenuRequest& menu) {
    out_ << "menu " << Quoted(menu.Title);
    if (!menu.Bottom.empty()) out_ << " bottom " << Quoted(menu.Bottom);
    out_ << ":\n";
    for (size_t i = 0; i < menu.Items.size(); ++i) {
        const FarMenuItem& item = menu.Items[i];
        out_ << (item.Selected ? "  > " : "    ");
        if (item.Separator) {
            out_ << "  -----\n";
            continue;
        }
        out_ << i << ' ' << (item.Checked ? "[x] " : "") << Utf8(item.Text) << '\n';
    }
}

void Transcript::Dialog(const DialogRequest& dialog) {
    out_ << "dialog " << dialog.Width << 'x' << dialog.Height;
    if (!dialog.HelpTopic.empty()) out_ << " help " << Quoted(dialog.HelpTopic);
    out_ << ":\n";
    for (int i = 0; i < dialog.Count; ++i) {
        const FarDialogItem& item = dialog.Items[i];
        out_ << "  " << i << ' ' << DialogItemType(item.Type);
        if (item.Type == DI_CHECKBOX) out_ << (item.Selected ? " [x]" : " [ ]");
        if (item.Type == DI_RADIOBUTTON) out_ << (item.Selected ? " (*)" : " ( )");
        if (item.Type == DI_TEXT && (item.Flags & DIF_SEPARATOR)) out_ << " separator";
        const std::string data = item.Data;
        if (item.Type == DI_PSWEDIT)
            out_ << " \"" << std::string(data.size(), '*') << '"';
        else if (!(item.Type == DI_TEXT && (item.Flags & DIF_SEPARATOR) && data.empty()))
            out_ << ' ' << Quoted(data);
        if (item.DefaultButton) out_ << " default";
        if (item.Focus) out_ << " focus";
        if ((item.Flags & DIF_HISTORY) && item.History) out_ << " history " << Quoted(item.History);
        out_ << '\n';
    }
}

void Transcript::FileContent(const std::string& oemText, const std::string& charset,
                             bool showLineEndCr) {
    size_t start = 0;
    while (start < oemText.size()) {
        size_t end = oemText.find('\n', start);
        if (end == std::string::npos) end = oemText.size();
        std::string line = oemText.substr(start, end - start);
        if (!showLineEndCr && !line.empty() && line.back() == '\r') line.pop_back();
        if (!charset.empty()) line = platform::Utf8ToOem(ViewedLineAsUtf8(line, charset));
        out_ << "  | " << VisibleLine(line) << '\n';
        start = end + 1;
    }
}

void Transcript::Items(const PanelView& panel) {
    const PanelItemList& items = panel.Items();
    for (size_t i = 0; i < items.Size(); ++i) {
        const PluginPanelItem& item = items[i];
        out_ << "  " << (static_cast<int>(i) == panel.Current() ? '>' : ' ')
             << ((item.Flags & PPIF_SELECTED) ? '*' : ' ')
             << ((item.Flags & PPIF_UNREAD) ? '+' : ' ') << Utf8(ItemName(item));
        if (IsFolder(item)) out_ << '/';
        if (!IsDotDot(item) && (!IsFolder(item) || ItemSize(item) != 0))
            out_ << "  " << ItemSize(item);
        if (item.Description) out_ << "  " << Quoted(item.Description);
        for (int c = 0; item.CustomColumnData && c < item.CustomColumnNumber; ++c)
            out_ << (c == 0 ? "  | " : " | ")
                 << Utf8(item.CustomColumnData[c] ? item.CustomColumnData[c] : "");
        out_ << '\n';
    }
}

void Transcript::ModulePanelListing(const ModulePanel& panel) {
    out_ << "panel " << Quoted(panel.Title()) << " folder " << Quoted(panel.Folder())
         << " view mode " << panel.ViewMode() << " columns " << panel.ColumnTypes();
    for (const std::string& title : panel.ColumnTitles()) out_ << ' ' << Quoted(title);
    out_ << ":\n";
    Items(panel);
}

void Transcript::LocalPanelListing(const LocalPanel& panel, const std::string& base) {
    out_ << "local panel " << Utf8(RelativeFolder(panel.Folder(), base)) << ":\n";
    Items(panel);
}

void Transcript::KeyBar(const KeyBarLabels& labels) {
    static const char* const kRows[] = {"",           "Ctrl+",    "Alt+", "Shift+", "Ctrl+Shift+",
                                        "Alt+Shift+", "Ctrl+Alt+"};
    out_ << "key bar:\n";
    for (size_t row = 0; row < labels.size(); ++row)
        for (size_t key = 0; key < labels[row].size(); ++key)
            if (!labels[row][key].empty())
                out_ << "  " << kRows[row] << 'F' << key + 1 << ' ' << Utf8(labels[row][key])
                     << '\n';
}

}  // namespace kestrova::host
