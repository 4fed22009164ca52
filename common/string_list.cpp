#include "common/string_list.h"

#include "common/errors.h"

namespace kestrova {

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= count_)
        throw EStringListError(kRefused, "List index out of bounds", "InRange");
}

const std::string& TStringList::Get(int index) const {
    CheckIndex(index);
    return items_[index];
}

void TStringList::Put(int index, std::string value) {
    CheckIndex(index);
    items_[index] = std::move(value);
}

// Small lists grow by 4, medium ones by 16, large ones by a quarter of their capacity.
void TStringList::Grow() {
    int capacity = Capacity();
    int delta = capacity > 64 ? capacity / 4 : capacity > 8 ? 16 : 4;
    items_.resize(static_cast<size_t>(capacity) + delta);
}

int TStringList::Add(std::string value) {
    int index = count_;
    Insert(index, std::move(value));
    return index;
}

void TStringList::Insert(int index, std::string value) {
    if (index < 0) CheckIndex(index);  // raises: only an index beyond the end is forgiven
    if (index > count_) index = count_;
    if (count_ == Capacity()) Grow();
    for (int i = count_; i > index; --i) items_[i] = std::move(items_[i - 1]);
    items_[index] = std::move(value);
    ++count_;
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    for (int i = index; i < count_ - 1; ++i) items_[i] = std::move(items_[i + 1]);
    --count_;
    items_[count_].clear();
}

void TStringList::Clear() {
    items_ = {};
    count_ = 0;
}

std::string TStringList::Text() const {
    std::string text;
    for (int i = 0; i < count_; ++i) {
        text += items_[i];
        text += "\r\n";
    }
    return text;
}

void TStringList::SetText(std::string_view text) {
    Clear();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        Add(std::string(text.substr(pos, end - pos)));
        pos = end;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;
    }
}

}  // namespace kestrova
