#include "host/script_answers.h"

#include <gtest/gtest.h>

#include "host/host_error.h"

namespace kestrova::host {
namespace {

Answer Parse(const std::vector<std::string>& words) {
    return ParseAnswer(ScriptLine{7, words, ""});
}

TEST(ScriptAnswers, ParsesEveryKind) {
    const Answer message = Parse({"answer", "message", "1"});
    EXPECT_EQ(message.Kind, AnswerKind::Message);
    EXPECT_EQ(message.Pick, Answer::Choice::Index);
    EXPECT_EQ(message.Index, 1);
    EXPECT_EQ(message.Line, 7);

    EXPECT_EQ(Parse({"answer", "menu", "esc"}).Pick, Answer::Choice::Escape);

    const Answer dialog = Parse({"answer", "dialog", "enter", "2=news.example", "6=on", "3="});
    EXPECT_EQ(dialog.Kind, AnswerKind::Dialog);
    EXPECT_EQ(dialog.Pick, Answer::Choice::Enter);
    ASSERT_EQ(dialog.Fields.size(), 3u);
    EXPECT_EQ(dialog.Fields[0].Item, 2);
    EXPECT_EQ(dialog.Fields[0].Value, "news.example");
    EXPECT_EQ(dialog.Fields[2].Value, "");

    EXPECT_TRUE(Parse({"answer", "editor", "keep"}).Edits.empty());
    const Answer editor = Parse({"answer", "editor", "append", "x", "replace", "a", "b"});
    ASSERT_EQ(editor.Edits.size(), 2u);
    EXPECT_EQ(editor.Edits[0].Kind, EditorStep::Kind::Append);
    EXPECT_EQ(editor.Edits[1].Second, "b");
}

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
