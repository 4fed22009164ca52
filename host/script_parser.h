// The script language's lines: words separated by spaces, double quotes around words with
// spaces (escapes \" \\ \n \t inside), "#" starting a comment outside quotes, and ${NAME}
// replaced by the environment variable NAME. A quoted part may sit inside a word: 2="a b" is
// the one word 2=a b.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova::host {

struct ScriptLine {
    int Number = 0;  // 1-based line number in the script
    std::vector<std::string> Words;
    std::string Text;  // the line as written, without comment and outer spaces
};

using EnvironmentLookup = std::function<std::optional<std::string>(const std::string&)>;

// Lines without words are left out. Throws HostError naming the line for an unterminated quote,
// an unknown escape, or an unset or unterminated ${NAME}.
std::vector<ScriptLine> ParseScript(std::string_view text, const EnvironmentLookup& environment);

// The process environment.
std::optional<std::string> ProcessEnvironment(const std::string& name);

}  // namespace kestrova::host
