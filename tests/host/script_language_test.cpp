// The script language: lines and their words, answers and key names.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/host_error.h"
#include "host/key_names.h"
#include "host/script_answers.h"
#include "host/script_parser.h"

namespace kestrova::host {
namespace {

std::optional<std::string> TestEnvironment(const std::string& name) {
    if (name == "WORK") return "/tmp/w";
    return std::nullopt;
}

std::vector<std::string> Words(std::string_view text) {
    const std::vector<ScriptLine> lines = ParseScript(text, TestEnvironment);
    EXPECT_EQ(lines.size(), 1u);
    return lines.empty() ? std::vector<std::string>() : lines[0].Words;
}

TEST(ScriptParser, SplitsWordsQuotesCommentsAndVariables) {
    for (const auto& [line, words] : {
             std::pair<const char*, std::vector<std::string>>{"key F7", {"key", "F7"}},
             {"  key\tCtrl+R   Down  ", {"key", "Ctrl+R", "Down"}},
             {"open command \"news://host/a b\"", {"open", "command", "news://host/a b"}},
             {"answer dialog 4 2=\"two words\" 5=on",
              {"answer", "dialog", "4", "2=two words", "5=on"}},
             {"local-file a.txt \"line\\none \\\"q\\\" \\\\\"",
              {"local-file", "a.txt", "line\none \"q\" \\"}},
             {"key F7 # a comment", {"key", "F7"}},
             {"print a#b", {"print", "a#b"}},
             {"print \"# not a comment\"", {"print", "# not a comment"}},
             {"local ${WORK}/x", {"local", "/tmp/w/x"}},
             {"local \"${WORK} y\"", {"local", "/tmp/w y"}},
             {"put \"\"", {"put", ""}},
         })
        EXPECT_EQ(Words(line), words) << line;
}

TEST(ScriptParser, RejectsMalformedLinesNamingThem) {
    const char* bad[] = {"key \"F7", "x \"a\\qb\"", "local ${UNSET}", "local ${WORK", "x \"ends\\"};
    for (const char* line : bad)
        EXPECT_THAT([&] { ParseScript(std::string("ok\n") + line, TestEnvironment); },
                    ::testing::ThrowsMessage<HostError>(::testing::StartsWith("line 2: ")));
}

// Well-formed answers and key names are read by the script tests (other spellings of keys by the
// fake panel actions).
TEST(ScriptAnswers, RejectsMalformedAnswers) {
    for (const char* answer :
         {"menu", "menu -1", "menu 1x", "menu enter", "message 1 2", "dialog 4 2", "dialog 4 x=1",
          "dialog esc 2=a", "editor append", "editor replace a", "editor keep append x", "box 1"}) {
        const ScriptLine line = ParseScript(std::string("answer ") + answer, TestEnvironment)[0];
        EXPECT_THROW(ParseAnswer(line), HostError) << answer;
    }
}

TEST(KeyNames, RejectsUnknownNames) {
    for (const char* text : {"", "F0", "F13", "Hyper+F1", "Ctrl+", "Ctrl+Foo", "AB", "F1x"})
        EXPECT_FALSE(ParseKey(text)) << text;
}

}  // namespace
}  // namespace kestrova::host
