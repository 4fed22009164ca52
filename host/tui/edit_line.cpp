#include "host/tui/edit_line.h"

#include "platform/codepages.h"
#include "platform/display_width.h"
#include "platform/utf8.h"

namespace kestrova::host::tui {
namespace {

// The start of the character before pos.
size_t PreviousCharacter(const std::string& text, size_t pos) {
    if (pos == 0) return 0;
    size_t start = pos - 1;
    while (start > 0 && pos - start < 4 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    return start;
}

// The end of the character at pos.
size_t NextCharacter(const std::string& text, size_t pos) {
    if (pos >= text.size()) return text.size();
    platform::NextUtf8CodePoint(text, pos);
    return pos;
}

}  // namespace

EditLine::EditLine(std::string text, size_t maxLength, bool fixed)
    : text_(std::move(text)), maxLength_(maxLength), fixed_(fixed) {
    text_.resize(platform::Utf8PrefixLength(text_, maxLength_));
    cursor_ = fixed_ ? 0 : text_.size();
}

void EditLine::SetText(std::string text) {
    text_ = std::move(text);
    text_.resize(platform::Utf8PrefixLength(text_, maxLength_));
    cursor_ = fixed_ ? 0 : text_.size();
    selected_ = false;
}

void EditLine::Type(char32_t c) {
    if (selected_) {
        text_.clear();
        cursor_ = 0;
    }
    std::string utf8;
    platform::AppendUtf8(utf8, c);
    const std::string typed = platform::Utf8ToOem(utf8);
    const size_t replaced =
        fixed_ && cursor_ < text_.size() ? NextCharacter(text_, cursor_) - cursor_ : 0;
    // A character that does not fit the field's bytes is not typed (a full fixed field keeps its
    // cursor on the last character).
    if (text_.size() - replaced + typed.size() > maxLength_) return;
    text_.replace(cursor_, replaced, typed);
    cursor_ += typed.size();
}

bool EditLine::HandleKey(const Keystroke& key) {
    const bool wasSelected = selected_;
    selected_ = false;
    if (key.Printable()) {
        selected_ = wasSelected;
        Type(key.Char);
        selected_ = false;
    } else if (key.Is(VK_BACK) || key.Is(VK_DELETE)) {
        if (wasSelected) {
            text_.clear();
            cursor_ = 0;
        } else if (key.Key == VK_BACK && cursor_ > 0) {
            const size_t start = PreviousCharacter(text_, cursor_);
            text_.erase(start, cursor_ - start);
            cursor_ = start;
        } else if (key.Key == VK_DELETE && cursor_ < text_.size()) {
            text_.erase(cursor_, NextCharacter(text_, cursor_) - cursor_);
        }
    } else if (key.Is(VK_LEFT)) {
        cursor_ = PreviousCharacter(text_, cursor_);
    } else if (key.Is(VK_RIGHT)) {
        cursor_ = NextCharacter(text_, cursor_);
    } else if (key.Is(VK_HOME)) {
        cursor_ = 0;
    } else if (key.Is(VK_END)) {
        cursor_ = text_.size();
    } else if (key.Is('Y', PKF_CONTROL)) {
        text_.clear();
        cursor_ = 0;
    } else {
        selected_ = wasSelected;
        return false;
    }
    return true;
}

size_t EditLine::FirstVisible(size_t width) {
    if (fixed_) return 0;  // the whole text fits; a full field's cursor rests past its end
    if (width == 0) return cursor_;
    if (cursor_ < first_) first_ = cursor_;
    // The cursor's cell stays inside the field: text before it takes at most width - 1 cells.
    while (first_ < cursor_ && platform::TextWidth(std::string_view(text_).substr(
                                   first_, cursor_ - first_)) >= static_cast<int>(width))
        first_ = NextCharacter(text_, first_);
    return first_;
}

int EditLine::CursorCells(size_t first) const {
    return first >= cursor_
               ? 0
               : platform::TextWidth(std::string_view(text_).substr(first, cursor_ - first));
}

}  // namespace kestrova::host::tui
