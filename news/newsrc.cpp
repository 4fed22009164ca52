#include "news/newsrc.h"

namespace kestrova {

namespace {

// A group name as servers send them: printable ASCII without blanks, ':', '!' or ','.
bool IsGroupName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNewsrcGroupName) return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte >= 0x7F || c == ':' || c == '!' || c == ',') return false;
    }
    return true;
}

}  // namespace

TNewsrcText ParseNewsrc(std::string_view text) {
    TNewsrcText result;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
        const size_t mark = line.find_first_of(":!");
        if (line.size() > kMaxNewsrcLine || mark == std::string_view::npos ||
            !IsGroupName(line.substr(0, mark)) || result.Entries.size() >= kMaxNewsrcGroups) {
            ++result.Skipped;
            continue;
        }
        result.Entries.push_back({std::string(line.substr(0, mark)), line[mark] == ':',
                                  TArticleRanges::Parse(line.substr(mark + 1))});
    }
    return result;
}

std::string WriteNewsrc(const std::vector<TNewsrcEntry>& entries) {
    std::string text;
    for (const TNewsrcEntry& entry : entries) {
        text += entry.Group;
        text += entry.Subscribed ? ':' : '!';
        if (!entry.Read.Empty()) text += ' ' + entry.Read.Text();
        text += '\n';
    }
    return text;
}

}  // namespace kestrova
