#include "host/language_file.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "host/host_error.h"
#include "platform/codepages.h"
#include "platform/utf8.h"

namespace kestrova::host {
namespace {

constexpr std::string_view kHeader = ".Language=";
constexpr int kLegacyCodePage = 866;

std::string_view TrimSpaces(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

}  // namespace

LanguageFile LanguageFile::Parse(std::string_view text, const std::string& origin) {
    LanguageFile file;
    bool headerSeen = false;
    int lineNumber = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        const std::string_view line = TrimSpaces(raw);
        if (line.empty() || line.starts_with("//")) continue;
        const auto where = [&] { return origin + ":" + std::to_string(lineNumber) + ": "; };
        if (!headerSeen) {
            if (!StartsWithNoCase(line, kHeader))
                throw HostError(where() + "expected the header \".Language=Name,Title\"");
            const std::string_view value = line.substr(kHeader.size());
            file.language_ = std::string(value.substr(0, value.find(',')));
            if (file.language_.empty()) throw HostError(where() + "the header names no language");
            headerSeen = true;
            continue;
        }
        if (line.size() < 2 || line.front() != '"' || line.back() != '"')
            throw HostError(where() + "expected a message in double quotes");
        file.messages_.emplace_back(line.substr(1, line.size() - 2));
    }
    if (!headerSeen) throw HostError(origin + ": no \".Language=\" header");
    return file;
}

LanguageFile LanguageFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw HostError("cannot read the language file " + path);
    std::ostringstream content;
    content << in.rdbuf();
    // Language files are UTF-8 or, as earlier versions kept them, CP866.
    const std::string bytes = content.str();
    if (platform::IsValidUtf8(bytes)) return Parse(bytes, path);
    return Parse(platform::CodePageToUtf8(bytes, kLegacyCodePage), path);
}

const char* LanguageFile::Message(int n) const {
    if (n < 0 || n >= Count()) return "";
    return messages_[static_cast<size_t>(n)].c_str();
}

std::string LanguageFileName(const char* languageChoice, const char* locale) {
    bool russian = false;
    if (languageChoice && *languageChoice)
        russian = StartsWithNoCase(languageChoice, "ru");
    else if (locale)
        russian = StartsWithNoCase(locale, "ru");
    return russian ? "KestrovaRus.lng" : "KestrovaEng.lng";
}

}  // namespace kestrova::host
