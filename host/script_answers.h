// Answers queued by a script for the next message box, menu, dialog or editor:
//   answer message N|esc
//   answer menu N|esc
//   answer dialog N|esc|enter [ITEM=VALUE ...]   (VALUE: text of an edit field, on/off for a
//                                                 check box or radio button)
//   answer editor keep | answer editor (append TEXT | replace OLD NEW)...
//   answer viewer KEY                              (a key the module's viewer keys are given)
#pragma once

#include <string>
#include <vector>

#include "host/key_names.h"
#include "host/script_parser.h"

namespace kestrova::host {

enum class AnswerKind { Message, Menu, Dialog, Editor, Viewer };

struct DialogField {
    int Item = 0;
    std::string Value;  // UTF-8
};

struct EditorStep {
    enum class Kind { Append, Replace } Kind = Kind::Append;
    std::string First;   // UTF-8: the appended line, or the text to replace
    std::string Second;  // UTF-8: the replacement
};

struct Answer {
    enum class Choice { Index, Escape, Enter };

    AnswerKind Kind = AnswerKind::Message;
    int Line = 0;
    Choice Pick = Choice::Index;
    int Index = 0;
    std::vector<DialogField> Fields;
    std::vector<EditorStep> Edits;  // none: the editor is left without saving
    KeyPress Key;                   // a viewer answer's key
};

const char* AnswerKindName(AnswerKind kind);

// Parses an "answer" line. Throws HostError naming the line for anything malformed.
Answer ParseAnswer(const ScriptLine& line);

}  // namespace kestrova::host
