#include "news/capabilities.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace kestrova {

namespace {

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// The blank-separated words of text.
bool HasWord(std::string_view text, std::string_view word) {
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
        size_t end = at;
        while (end < text.size() && text[end] != ' ' && text[end] != '\t') ++end;
        if (text.substr(at, end - at) == word) return true;
        at = end;
    }
    return false;
}

std::string_view FirstWord(std::string_view text) {
    const size_t end = std::min(text.find_first_of(" \t"), text.size());
    return text.substr(0, end);
}

}  // namespace

void ApplyCapabilityLine(std::string_view line, TCapabilities& capabilities) {
    const std::string upper = Upper(line);
    const std::string_view label = FirstWord(upper);
    const std::string_view arguments = std::string_view(upper).substr(label.size());
    if (label == "READER") capabilities.Reader = true;
    if (label == "MODE-READER") capabilities.ModeReader = true;
    if (label == "OVER") capabilities.Over = true;
    if (label == "LIST" && HasWord(arguments, "OVERVIEW.FMT")) capabilities.OverviewFormat = true;
    if (label == "STARTTLS") capabilities.StartTls = true;
    if (label == "COMPRESS" && HasWord(arguments, "DEFLATE")) capabilities.CompressDeflate = true;
}

bool NamesModeReader(std::string_view statusLine) {
    return HasWord(Upper(statusLine.substr(std::min<size_t>(3, statusLine.size()))), "MODE-READER");
}

}  // namespace kestrova
