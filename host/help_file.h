// The module's help file, one per language beside its language file (KestrovaEng.hlf,
// KestrovaRus.hlf): UTF-8 text in topics. A line "@Name" starts the topic Name (the names the
// module gives its dialogs, "Contents" for the whole); the topic's first line is its title.
// Lines before the first topic and lines starting with "//" are skipped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrova::host {

struct HelpTopic {
    std::string Name;
    std::vector<std::string> Lines;  // the title first
};

class HelpFile {
  public:
    static HelpFile Parse(std::string_view text);
    // An unreadable or missing file has no topics (help is no reason to stop the host).
    static HelpFile Load(const std::string& path);

    const std::vector<HelpTopic>& Topics() const { return topics_; }
    // The topic of that name (without regard to case), or nullptr.
    const HelpTopic* Find(std::string_view name) const;

  private:
    std::vector<HelpTopic> topics_;
};

// The help file beside a language file: its name with ".hlf" for ".lng".
std::string HelpFileName(const std::string& languageFileName);

}  // namespace kestrova::host
