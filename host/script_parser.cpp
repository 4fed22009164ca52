#include "host/script_parser.h"

#include <cstdlib>

#include "host/host_error.h"

namespace kestrova::host {
namespace {

class LineParser {
  public:
    LineParser(std::string_view line, int number, const EnvironmentLookup& environment)
        : line_(line), number_(number), environment_(environment) {}

    ScriptLine Parse() {
        ScriptLine result;
        result.Number = number_;
        size_t end = 0;
        while (pos_ < line_.size()) {
            const char c = line_[pos_];
            if (c == ' ' || c == '\t' || c == '\r') {
                EndWord(result);
                ++pos_;
            } else if (c == '#' && !inWord_) {
                break;
            } else if (c == '"') {
                inWord_ = true;
                ++pos_;
                Quoted();
                end = pos_;
            } else if (c == '$' && pos_ + 1 < line_.size() && line_[pos_ + 1] == '{') {
                inWord_ = true;
                Variable();
                end = pos_;
            } else {
                inWord_ = true;
                word_ += c;
                end = ++pos_;
            }
        }
        EndWord(result);
        std::string_view text = line_.substr(0, end);
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
            text.remove_prefix(1);
        result.Text = std::string(text);
        return result;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw HostError("line " + std::to_string(number_) + ": " + what);
    }

    void EndWord(ScriptLine& result) {
        if (inWord_) result.Words.push_back(word_);
        word_.clear();
        inWord_ = false;
    }

    void Quoted() {
        while (pos_ < line_.size()) {
            const char c = line_[pos_];
            if (c == '"') {
                ++pos_;
                return;
            }
            if (c == '$' && pos_ + 1 < line_.size() && line_[pos_ + 1] == '{') {
                Variable();
                continue;
            }
            if (c == '\\') {
                if (pos_ + 1 >= line_.size()) Fail("a backslash ends the line inside quotes");
                switch (line_[pos_ + 1]) {
                    case '"':
                        word_ += '"';
                        break;
                    case '\\':
                        word_ += '\\';
                        break;
                    case 'n':
                        word_ += '\n';
                        break;
                    case 't':
                        word_ += '\t';
                        break;
                    case '$':
                        word_ += '$';
                        break;
                    default:
                        Fail(std::string("unknown escape \\") + line_[pos_ + 1]);
                }
                pos_ += 2;
                continue;
            }
            word_ += c;
            ++pos_;
        }
        Fail("unterminated quote");
    }

    void Variable() {
        const size_t close = line_.find('}', pos_);
        if (close == std::string_view::npos) Fail("unterminated ${");
        const std::string name(line_.substr(pos_ + 2, close - pos_ - 2));
        const std::optional<std::string> value = environment_(name);
        if (!value) Fail("the environment variable " + name + " is not set");
        word_ += *value;
        pos_ = close + 1;
    }

    std::string_view line_;
    int number_;
    const EnvironmentLookup& environment_;
    size_t pos_ = 0;
    std::string word_;
    bool inWord_ = false;
};

}  // namespace

std::vector<ScriptLine> ParseScript(std::string_view text, const EnvironmentLookup& environment) {
    std::vector<ScriptLine> lines;
    int number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ScriptLine parsed = LineParser(line, ++number, environment).Parse();
        if (!parsed.Words.empty()) lines.push_back(std::move(parsed));
    }
    return lines;
}

std::optional<std::string> ProcessEnvironment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (!value) return std::nullopt;
    return std::string(value);
}

}  // namespace kestrova::host
