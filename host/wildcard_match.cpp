#include "host/wildcard_match.h"

#include "host/case_tables.h"

namespace kestrova::host {
namespace {

bool SameLetter(char a, char b) {
    const CaseTables& tables = OemCaseTables();
    return tables.Upper[static_cast<unsigned char>(a)] ==
           tables.Upper[static_cast<unsigned char>(b)];
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name, bool skipPath) {
    if (skipPath) {
        const size_t separator = name.find_last_of("\\/");
        if (separator != std::string_view::npos) name.remove_prefix(separator + 1);
    }
    if (pattern == "*.*") return true;
    // Greedy match that backtracks to the last star: linear in practice, never exponential.
    size_t p = 0, n = 0;
    size_t starPattern = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || SameLetter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace kestrova::host
