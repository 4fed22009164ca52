#include "host/wildcard_match.h"

#include <string>

#include "host/case_tables.h"
#include "platform/utf8.h"

namespace kestrova::host {
namespace {

// The characters of OEM text in upper case, so that '?' stands for one character and letters
// match without regard to case.
std::u32string UpperCharacters(std::string_view text) {
    const std::string upper = UpperOemText(text);
    std::u32string characters;
    characters.reserve(upper.size());
    for (size_t pos = 0; pos < upper.size();) characters += platform::NextUtf8CodePoint(upper, pos);
    return characters;
}

}  // namespace

bool WildcardMatch(std::string_view patternText, std::string_view nameText, bool skipPath) {
    if (skipPath) {
        const size_t separator = nameText.find_last_of("\\/");
        if (separator != std::string_view::npos) nameText.remove_prefix(separator + 1);
    }
    if (patternText == "*.*") return true;
    const std::u32string pattern = UpperCharacters(patternText);
    const std::u32string name = UpperCharacters(nameText);
    // Greedy match that backtracks to the last star: linear in practice, never exponential.
    size_t p = 0, n = 0;
    size_t starPattern = std::u32string::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == U'*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starPattern != std::u32string::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') ++p;
    return p == pattern.size();
}

}  // namespace kestrova::host
