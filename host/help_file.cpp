#include "host/help_file.h"

#include <strings.h>

#include <fstream>

namespace kestrova::host {
namespace {

// A shipped file, but bounded all the same.
constexpr size_t kLargestHelpFile = 1 << 20;

}  // namespace

HelpFile HelpFile::Parse(std::string_view text) {
    HelpFile file;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.starts_with("//")) continue;
        if (line.starts_with("@") && line.size() > 1) {
            file.topics_.push_back(HelpTopic{std::string(line.substr(1)), {}});
        } else if (!file.topics_.empty()) {
            file.topics_.back().Lines.emplace_back(line);
        }
    }
    for (HelpTopic& topic : file.topics_)  // blank lines closing a topic show nothing
        while (!topic.Lines.empty() && topic.Lines.back().empty()) topic.Lines.pop_back();
    return file;
}

HelpFile HelpFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string text(kLargestHelpFile, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    return Parse(text);
}

const HelpTopic* HelpFile::Find(std::string_view name) const {
    for (const HelpTopic& topic : topics_)
        if (topic.Name.size() == name.size() &&
            strncasecmp(topic.Name.data(), name.data(), name.size()) == 0)
            return &topic;
    return nullptr;
}

std::string HelpFileName(const std::string& languageFileName) {
    const size_t dot = languageFileName.rfind('.');
    return (dot == std::string::npos ? languageFileName : languageFileName.substr(0, dot)) + ".hlf";
}

}  // namespace kestrova::host
