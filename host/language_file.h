// The module's language file in the host's .lng format: a header line ".Language=Name,Title",
// then one double-quoted message per line in number order. Lines starting with "//" and blank
// lines are skipped. Message texts are kept as bytes (OEM code page).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrova::host {

class LanguageFile {
  public:
    // Throws HostError naming origin and the line for a missing header or a line that is neither
    // a comment nor a quoted message.
    static LanguageFile Parse(std::string_view text, const std::string& origin);
    // The file as UTF-8 (a CP866 file, as earlier versions kept them, is converted). Throws
    // HostError when the file cannot be read, or as Parse.
    static LanguageFile Load(const std::string& path);

    const std::string& Language() const { return language_; }
    int Count() const { return static_cast<int>(messages_.size()); }
    // Message number n, or an empty text when the file has none of that number.
    const char* Message(int n) const;

  private:
    std::string language_;
    std::vector<std::string> messages_;
};

// The file name for the user's language: KestrovaRus.lng when languageChoice is "rus" (or, with
// no choice, when locale starts with "ru"), otherwise KestrovaEng.lng. Either may be null.
std::string LanguageFileName(const char* languageChoice, const char* locale);

}  // namespace kestrova::host
