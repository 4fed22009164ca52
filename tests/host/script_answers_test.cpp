#include "host/script_answers.h"

#include <gtest/gtest.h>

#include "host/host_error.h"

namespace kestrova::host {
namespace {

Answer Parse(const std::vector<std::string>& words) {
    return ParseAnswer(ScriptLine{7, words, ""});
}

// Well-formed answers of every kind are read by the script tests.
TEST(ScriptAnswers, RejectsMalformedAnswers) {
    const std::vector<std::vector<std::string>> bad = {
        {"answer", "menu"},
        {"answer", "menu", "-1"},
        {"answer", "menu", "1x"},
        {"answer", "menu", "enter"},
        {"answer", "message", "1", "2"},
        {"answer", "dialog", "4", "2"},
        {"answer", "dialog", "4", "x=1"},
        {"answer", "dialog", "esc", "2=a"},
        {"answer", "editor", "append"},
        {"answer", "editor", "replace", "a"},
        {"answer", "editor", "keep", "append", "x"},
        {"answer", "box", "1"},
    };
    for (const auto& words : bad) EXPECT_THROW(Parse(words), HostError) << words.back();
}

}  // namespace
}  // namespace kestrova::host
