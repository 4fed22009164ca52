#include "host/tui/message_box.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "host/tui/dialog_layout.h"
#include "host/tui/hot_key.h"
#include "platform/display_width.h"
#include "platform/utf8.h"

namespace kestrova::host::tui {
namespace {

// Columns between the dialog's edge and its frame, and between the frame and the text.
constexpr int kMargin = 3;
constexpr int kPadding = 2;
constexpr int kNarrowestText = 20;

FarDialogItem MakeItem(int type, int x, int y, std::string_view text) {
    FarDialogItem item{};
    item.Type = type;
    item.X1 = x;
    item.Y1 = y;
    const size_t length = platform::Utf8PrefixLength(text, sizeof item.Data - 1);
    std::memcpy(item.Data, text.data(), length);
    return item;
}

// Splits a line into pieces of at most width cells, at the last space where there is one.
std::vector<std::string> Wrap(std::string_view line, int width) {
    std::vector<std::string> pieces;
    while (platform::TextWidth(line) > width) {
        const size_t fits = platform::PrefixForWidth(line, width);
        size_t cut = line.rfind(' ', fits);
        if (cut == std::string_view::npos || cut == 0) cut = fits;
        if (cut == 0) cut = platform::PrefixForWidth(line, 2);  // a character wider than width
        pieces.emplace_back(line.substr(0, cut));
        line.remove_prefix(cut);
        if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    }
    pieces.emplace_back(line);
    return pieces;
}

}  // namespace

MessageDialog BuildMessageDialog(const MessageRequest& message, int screenWidth) {
    const int widest = std::max(screenWidth - 2 * (kMargin + kPadding) - 2, kNarrowestText);
    const std::string title = message.Lines.empty() ? std::string() : message.Lines.front();
    std::vector<std::string> body;
    for (size_t i = 1; i < message.Lines.size(); ++i)
        for (std::string& piece : Wrap(message.Lines[i], widest)) body.push_back(std::move(piece));

    int buttonsWidth = -1;
    for (const std::string& button : message.Buttons)
        buttonsWidth += ItemWidth(MakeItem(DI_BUTTON, 0, 0, ""), ParseMarkedText(button)) + 1;
    int textWidth = std::max(platform::TextWidth(title) + 2, buttonsWidth);
    for (const std::string& line : body) textWidth = std::max(textWidth, platform::TextWidth(line));
    textWidth = std::min(textWidth, widest);

    MessageDialog dialog;
    dialog.Width = textWidth + 2 * (kMargin + kPadding) + 2;
    const int buttonRows = message.Buttons.empty() ? 0 : 1;
    dialog.Height = static_cast<int>(body.size()) + buttonRows + 4;
    const int frameRight = dialog.Width - kMargin - 1;
    FarDialogItem frame = MakeItem(DI_DOUBLEBOX, kMargin, 1, title);
    frame.X2 = frameRight;
    frame.Y2 = dialog.Height - 2;
    dialog.Items.push_back(frame);
    const bool left = (message.Flags & FMSG_LEFTALIGN) != 0;
    const int textX = kMargin + 1 + kPadding;
    int y = 2;
    for (const std::string& line : body) {
        const int x = left ? textX : (dialog.Width - platform::TextWidth(line)) / 2;
        dialog.Items.push_back(MakeItem(DI_TEXT, x, y++, line));
    }
    dialog.FirstButton = static_cast<int>(dialog.Items.size());
    for (const std::string& button : message.Buttons) {
        FarDialogItem item = MakeItem(DI_BUTTON, 0, y, button);
        item.Flags = DIF_CENTERGROUP;
        dialog.Items.push_back(item);
    }
    if (!message.Buttons.empty()) {
        dialog.Items[dialog.FirstButton].DefaultButton = 1;
        dialog.Items[dialog.FirstButton].Focus = 1;
    }
    return dialog;
}

}  // namespace kestrova::host::tui
