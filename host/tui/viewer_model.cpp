#include "host/tui/viewer_model.h"

#include <algorithm>

#include "host/case_tables.h"
#include "host/char_tables.h"
#include "platform/codepages.h"

namespace kestrova::host::tui {
namespace {

constexpr int kTabWidth = 8;
constexpr int kWidestLine = static_cast<int>(ViewedFile::kLongestLine) * kTabWidth;

std::string TrimmedName(const char* name) {
    std::string text = name;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// Finds the upper-cased pattern in text without regard to case; npos when absent.
size_t FindFolded(const std::string& text, const std::string& upperPattern) {
    const unsigned char* upper = OemCaseTables().Upper;
    std::string folded(text.size(), ' ');
    for (size_t i = 0; i < text.size(); ++i)
        folded[i] = static_cast<char>(upper[static_cast<unsigned char>(text[i])]);
    return folded.find(upperPattern);
}

}  // namespace

ViewerModel::ViewerModel(ViewedFile& file, int rows, int columns)
    : file_(file), rows_(std::max(rows, 1)), columns_(std::max(columns, 1)) {}

void ViewerModel::Resize(int rows, int columns) {
    rows_ = std::max(rows, 1);
    columns_ = std::max(columns, 1);
    ScrollTo(top_);
}

std::vector<std::string> ViewerModel::CodePageNames() const {
    std::vector<std::string> names{"OEM " + std::to_string(platform::OemCodePage()),
                                   "ANSI " + std::to_string(platform::AnsiCodePage())};
    for (int n = 0; n < CharTableCount(); ++n) {
        CharTableSet table;
        if (FillCharTableSet(n, table)) names.push_back(TrimmedName(table.TableName));
    }
    return names;
}

void ViewerModel::SetCodePage(int index) {
    if (index < 0 || index >= 2 + CharTableCount()) return;
    codePage_ = index;
    matchLine_.reset();
}

bool ViewerModel::ShownLine(size_t n, std::string& shown) {
    std::string bytes;
    shown.clear();
    if (!file_.Line(n, bytes)) return false;
    if (codePage_ == 1) {
        bytes = platform::AnsiToOem(bytes);
    } else if (codePage_ >= 2) {
        CharTableSet table;
        if (FillCharTableSet(codePage_ - 2, table))
            for (char& c : bytes)
                c = static_cast<char>(table.DecodeTable[static_cast<unsigned char>(c)]);
    }
    for (char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\t')
            shown.append(kTabWidth - shown.size() % kTabWidth, ' ');
        else
            shown += byte < 0x20 || byte == 0x7F ? '.' : c;
    }
    return true;
}

size_t ViewerModel::LastTop() {
    const size_t count = file_.LineCount();
    return count > static_cast<size_t>(rows_) ? count - rows_ : 0;
}

void ViewerModel::ScrollTo(size_t top) {
    // Moving down stops once the last line is on screen; only lines read so far are counted.
    if (top > top_) {
        std::string probe;
        const size_t lastShown = top + rows_ - 1;
        if (!file_.Line(lastShown, probe)) top = std::min(top, LastTop());
    }
    top_ = top;
}

ViewerState ViewerModel::HandleKey(const Keystroke& key) {
    if (key.Is(VK_ESCAPE) || key.Is(VK_F10) || key.Is(VK_F3)) return ViewerState::Closed;
    if (key.Is(VK_F7)) return ViewerState::SearchWanted;
    if (key.Is(VK_F1)) return ViewerState::HelpWanted;
    if (key.Is(VK_F7, PKF_SHIFT))
        return pattern_.empty() ? ViewerState::SearchWanted
                                : (Search(pattern_) ? ViewerState::Open : ViewerState::NotFound);
    if (key.Is(VK_F8)) {
        SetCodePage(codePage_ == 1 ? 0 : 1);
    } else if (key.Is(VK_F8, PKF_SHIFT)) {
        return ViewerState::TablesWanted;
    } else if (key.Is(VK_DOWN)) {
        ScrollTo(top_ + 1);
    } else if (key.Is(VK_UP)) {
        ScrollTo(top_ > 0 ? top_ - 1 : 0);
    } else if (key.Is(VK_SPACE) && AtEnd()) {
        return ViewerState::Unused;
    } else if (key.Is(VK_NEXT) || key.Is(VK_SPACE)) {
        ScrollTo(top_ + rows_);
    } else if (key.Is(VK_PRIOR)) {
        ScrollTo(top_ > static_cast<size_t>(rows_) ? top_ - rows_ : 0);
    } else if (key.Is(VK_HOME) || key.Is(VK_PRIOR, PKF_CONTROL)) {
        top_ = 0;
        column_ = 0;
    } else if (key.Is(VK_END) || key.Is(VK_NEXT, PKF_CONTROL)) {
        top_ = LastTop();
    } else if (key.Is(VK_RIGHT)) {
        column_ = std::min(column_ + 1, kWidestLine);
    } else if (key.Is(VK_LEFT)) {
        column_ = std::max(column_ - 1, 0);
    } else {
        return ViewerState::Unused;
    }
    return ViewerState::Open;
}

bool ViewerModel::Search(const std::string& text) {
    if (text.empty()) return false;
    if (text != pattern_) matchLine_.reset();
    pattern_ = text;
    std::string upper = text;
    for (char& c : upper)
        c = static_cast<char>(OemCaseTables().Upper[static_cast<unsigned char>(c)]);
    const size_t first = matchLine_ ? *matchLine_ + 1 : top_;
    std::string shown;
    for (size_t n = first; ShownLine(n, shown); ++n) {
        const size_t found = FindFolded(shown, upper);
        if (found == std::string::npos) continue;
        matchLine_ = n;
        matchCell_ = static_cast<int>(found);
        top_ = n;
        const int end = matchCell_ + static_cast<int>(upper.size());
        if (matchCell_ < column_ || end > column_ + columns_) column_ = std::max(end - columns_, 0);
        return true;
    }
    return false;
}

std::vector<std::string> ViewerModel::VisibleLines() {
    std::vector<std::string> lines;
    std::string shown;
    for (int row = 0; row < rows_ && ShownLine(top_ + row, shown); ++row) {
        lines.push_back(static_cast<size_t>(column_) < shown.size()
                            ? shown.substr(column_, columns_)
                            : std::string());
    }
    return lines;
}

bool ViewerModel::AtEnd() {
    std::string probe;
    return !file_.Line(top_ + rows_, probe);
}

int ViewerModel::Percent() {
    if (file_.Size() == 0) return 100;
    const uint64_t end = file_.LineOffset(top_ + rows_);
    return static_cast<int>(std::min<uint64_t>(end, file_.Size()) * 100 / file_.Size());
}

std::optional<std::pair<int, int>> ViewerModel::MatchCell() const {
    if (!matchLine_ || *matchLine_ < top_ || *matchLine_ >= top_ + rows_) return std::nullopt;
    return std::make_pair(static_cast<int>(*matchLine_ - top_), matchCell_ - column_);
}

}  // namespace kestrova::host::tui
