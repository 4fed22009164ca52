#include "host/tui/edit_line.h"

namespace kestrova::host::tui {

EditLine::EditLine(std::string text, size_t maxLength, bool fixed)
    : text_(std::move(text)), maxLength_(maxLength), fixed_(fixed) {
    if (text_.size() > maxLength_) text_.resize(maxLength_);
    cursor_ = fixed_ ? 0 : text_.size();
}

void EditLine::SetText(std::string text) {
    text_ = std::move(text);
    if (text_.size() > maxLength_) text_.resize(maxLength_);
    cursor_ = fixed_ ? 0 : text_.size();
    selected_ = false;
}

void EditLine::Type(char c) {
    if (selected_) {
        text_.clear();
        cursor_ = 0;
    }
    if (fixed_ && cursor_ < text_.size()) {
        text_[cursor_++] = c;
    } else if (text_.size() < maxLength_) {
        text_.insert(cursor_++, 1, c);
    }
    // A full fixed field keeps its cursor on the last character.
}

bool EditLine::HandleKey(const Keystroke& key) {
    const bool wasSelected = selected_;
    selected_ = false;
    if (key.Printable()) {
        selected_ = wasSelected;
        Type(static_cast<char>(key.Char));
        selected_ = false;
    } else if (key.Is(VK_BACK) || key.Is(VK_DELETE)) {
        if (wasSelected) {
            text_.clear();
            cursor_ = 0;
        } else if (key.Key == VK_BACK && cursor_ > 0) {
            text_.erase(--cursor_, 1);
        } else if (key.Key == VK_DELETE && cursor_ < text_.size()) {
            text_.erase(cursor_, 1);
        }
    } else if (key.Is(VK_LEFT)) {
        if (cursor_ > 0) --cursor_;
    } else if (key.Is(VK_RIGHT)) {
        if (cursor_ < text_.size()) ++cursor_;
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
    if (cursor_ >= first_ + width) first_ = cursor_ - width + 1;
    return first_;
}

}  // namespace kestrova::host::tui
