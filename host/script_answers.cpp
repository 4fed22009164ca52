#include "host/script_answers.h"

#include <charconv>

#include "host/host_error.h"

namespace kestrova::host {
namespace {

[[noreturn]] void Fail(const ScriptLine& line, const std::string& what) {
    throw HostError("line " + std::to_string(line.Number) + ": " + what);
}

bool ToNumber(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && ptr == end && value >= 0;
}

void ParseChoice(const ScriptLine& line, const std::string& word, bool enterAllowed,
                 Answer& answer) {
    if (word == "esc")
        answer.Pick = Answer::Choice::Escape;
    else if (enterAllowed && word == "enter")
        answer.Pick = Answer::Choice::Enter;
    else if (!ToNumber(word, answer.Index))
        Fail(line, "expected an index or \"esc\", found \"" + word + "\"");
}

void ParseEdits(const ScriptLine& line, Answer& answer) {
    const std::vector<std::string>& words = line.Words;
    if (words.size() == 3 && words[2] == "keep") return;
    for (size_t i = 2; i < words.size();) {
        if (words[i] == "append" && i + 1 < words.size()) {
            answer.Edits.push_back({EditorStep::Kind::Append, words[i + 1], {}});
            i += 2;
        } else if (words[i] == "replace" && i + 2 < words.size()) {
            answer.Edits.push_back({EditorStep::Kind::Replace, words[i + 1], words[i + 2]});
            i += 3;
        } else {
            Fail(line, "expected \"keep\", \"append TEXT\" or \"replace OLD NEW\"");
        }
    }
    if (answer.Edits.empty())
        Fail(line, "expected \"keep\", \"append TEXT\" or \"replace OLD NEW\"");
}

}  // namespace

const char* AnswerKindName(AnswerKind kind) {
    switch (kind) {
        case AnswerKind::Message:
            return "message";
        case AnswerKind::Menu:
            return "menu";
        case AnswerKind::Dialog:
            return "dialog";
        case AnswerKind::Editor:
            return "editor";
        case AnswerKind::Viewer:
            return "viewer";
    }
    return "answer";
}

Answer ParseAnswer(const ScriptLine& line) {
    const std::vector<std::string>& words = line.Words;
    if (words.size() < 3) Fail(line, "expected \"answer message|menu|dialog|editor|viewer ...\"");
    Answer answer;
    answer.Line = line.Number;
    const std::string& kind = words[1];
    if (kind == "message" || kind == "menu") {
        answer.Kind = kind == "message" ? AnswerKind::Message : AnswerKind::Menu;
        if (words.size() != 3) Fail(line, "a " + kind + " answer is one index or \"esc\"");
        ParseChoice(line, words[2], false, answer);
    } else if (kind == "dialog") {
        answer.Kind = AnswerKind::Dialog;
        ParseChoice(line, words[2], true, answer);
        for (size_t i = 3; i < words.size(); ++i) {
            const size_t equals = words[i].find('=');
            DialogField field;
            if (equals == std::string::npos || !ToNumber(words[i].substr(0, equals), field.Item))
                Fail(line, "expected ITEM=VALUE, found \"" + words[i] + "\"");
            field.Value = words[i].substr(equals + 1);
            answer.Fields.push_back(field);
        }
        if (answer.Pick == Answer::Choice::Escape && !answer.Fields.empty())
            Fail(line, "a dialog left with Esc keeps no field values");
    } else if (kind == "editor") {
        answer.Kind = AnswerKind::Editor;
        ParseEdits(line, answer);
    } else if (kind == "viewer") {
        answer.Kind = AnswerKind::Viewer;
        const std::optional<KeyPress> key = words.size() == 3 ? ParseKey(words[2]) : std::nullopt;
        if (!key) Fail(line, "a viewer answer is one key");
        answer.Key = *key;
    } else {
        Fail(line, "unknown answer kind \"" + kind + "\"");
    }
    return answer;
}

}  // namespace kestrova::host
