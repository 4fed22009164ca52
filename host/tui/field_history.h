// The past values of edit fields that carry a history name, newest first, kept in the settings
// store under the host's own key (one subkey per name, values "0", "1", ... in order).
#pragma once

#include <string>
#include <vector>

namespace kestrova::host::tui {

inline constexpr const char* kHistoryKey = "Software\\Kestrova\\Host\\History";
inline constexpr size_t kHistoryLength = 16;

// Puts text first, removing an equal older entry; empty texts are not kept; the list keeps at
// most kHistoryLength entries.
void AddToHistory(std::vector<std::string>& history, const std::string& text);

// The stored list of a name (empty when there is none or the store cannot be read). A name is
// one key: a backslash in it is stored as '_'.
std::vector<std::string> LoadHistory(const std::string& name);
// Replaces the stored list in one transaction; false when the store cannot be written.
bool SaveHistory(const std::string& name, const std::vector<std::string>& history);

}  // namespace kestrova::host::tui
