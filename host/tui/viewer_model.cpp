#include "host/tui/viewer_model.h"

#include <algorithm>
#include <cctype>

#include "host/case_tables.h"
#include "host/char_tables.h"
#include "host/viewed_charset.h"
#include "platform/charset_conversion.h"
#include "platform/codepages.h"
#include "platform/display_width.h"
#include "platform/utf8.h"

namespace kestrova::host::tui {
namespace {

constexpr int kTabWidth = 8;
constexpr int kWidestLine = static_cast<int>(ViewedFile::kLongestLine) * kTabWidth;

std::string TrimmedName(const char* name) {
    std::string text = name;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

int CellsOf(const std::string& oemText) {
    return platform::TextWidth(platform::OemToUtf8(oemText));
}

std::string PageName(const char* kind, int codePage) {
    return codePage == platform::kUtf8CodePage ? "UTF-8"
                                               : std::string(kind) + " " + std::to_string(codePage);
}

// True when reading in charset shows what the UTF-8 OEM code page shows already: ASCII and
// well-formed UTF-8 lines stay as they are in any set.
bool ReadsAsUtf8Oem(const std::string& charset) {
    if (platform::OemCodePage() != platform::kUtf8CodePage) return false;
    std::string name;
    for (char c : charset)
        if (c != '-' && c != '_')
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name == "utf8" || name == "usascii" || name == "ascii";
}

}  // namespace

ViewerModel::ViewerModel(ViewedFile& file, int rows, int columns, const std::string& charset)
    : file_(file), rows_(std::max(rows, 1)), columns_(std::max(columns, 1)) {
    if (!charset.empty() && platform::IsKnownCharset(charset) && !ReadsAsUtf8Oem(charset))
        sources_.push_back({charset, charset});
    sources_.push_back({PageName("OEM", platform::OemCodePage()), ""});
    if (platform::AnsiCodePage() != platform::OemCodePage())
        sources_.push_back({PageName("ANSI", platform::AnsiCodePage()),
                            platform::CodePageCharset(platform::AnsiCodePage())});
    for (int n = 0; n < CharTableCount(); ++n) {
        CharTableSet table;
        if (FillCharTableSet(n, table))
            sources_.push_back(
                {TrimmedName(table.TableName), platform::CodePageCharset(CharTableCodePage(n))});
    }
}

void ViewerModel::Resize(int rows, int columns) {
    rows_ = std::max(rows, 1);
    columns_ = std::max(columns, 1);
    ScrollTo(top_);
}

std::vector<std::string> ViewerModel::CodePageNames() const {
    std::vector<std::string> names;
    for (const Source& source : sources_) names.push_back(source.Name);
    return names;
}

void ViewerModel::SetCodePage(int index) {
    if (index < 0 || index >= static_cast<int>(sources_.size())) return;
    codePage_ = index;
    matchLine_.reset();
}

bool ViewerModel::ShownLine(size_t n, std::string& shown) {
    std::string bytes;
    shown.clear();
    if (!file_.Line(n, bytes)) return false;
    const std::string& charset = sources_[static_cast<size_t>(codePage_)].Charset;
    bytes = charset.empty() ? platform::OemToUtf8(bytes) : ViewedLineAsUtf8(bytes, charset);
    int cells = 0;
    for (size_t pos = 0; pos < bytes.size();) {
        const size_t start = pos;
        const char32_t c = platform::NextUtf8CodePoint(bytes, pos);
        if (c == '\t') {
            const int spaces = kTabWidth - cells % kTabWidth;
            shown.append(static_cast<size_t>(spaces), ' ');
            cells += spaces;
        } else if (platform::IsControlCharacter(c)) {
            shown += '.';
            ++cells;
        } else {
            shown.append(bytes, start, pos - start);
            cells += platform::CharacterWidth(c);
        }
    }
    shown = platform::Utf8ToOem(shown);
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
    const std::string upper = UpperOemText(text);
    const size_t first = matchLine_ ? *matchLine_ + 1 : top_;
    std::string shown;
    for (size_t n = first; ShownLine(n, shown); ++n) {
        const size_t found = UpperOemText(shown).find(upper);
        if (found == std::string::npos) continue;
        matchLine_ = n;
        matchCell_ = CellsOf(shown.substr(0, found));
        top_ = n;
        const int end = matchCell_ + CellsOf(upper);
        if (matchCell_ < column_ || end > column_ + columns_) column_ = std::max(end - columns_, 0);
        return true;
    }
    return false;
}

std::vector<std::string> ViewerModel::VisibleLines() {
    std::vector<std::string> lines;
    std::string shown;
    for (int row = 0; row < rows_ && ShownLine(top_ + row, shown); ++row) {
        const std::string utf8 = platform::OemToUtf8(shown);
        const size_t from = platform::PrefixForWidth(utf8, column_);
        const std::string_view rest = std::string_view(utf8).substr(from);
        lines.push_back(
            platform::Utf8ToOem(rest.substr(0, platform::PrefixForWidth(rest, columns_))));
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
