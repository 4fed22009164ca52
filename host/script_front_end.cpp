#include "host/script_front_end.h"

#include <algorithm>
#include <cstring>

#include "host/dialog_items.h"
#include "host/utf8_copy.h"
#include "host/viewed_charset.h"
#include "platform/codepages.h"
#include "platform/filesystem.h"
#include "platform/utf8.h"

namespace kestrova::host {
void ScriptFrontEnd::BeginAction(int line) {
    line_ = line;
    failure_.reset();
}

std::optional<std::string> ScriptFrontEnd::EndAction() {
    if (!failure_ && !answers_.empty())
        failure_ = "line " + std::to_string(line_) + ": the " +
                   AnswerKindName(answers_.front().Kind) + " answer queued at line " +
                   std::to_string(answers_.front().Line) + " was not used";
    return failure_;
}

std::optional<std::string> ScriptFrontEnd::Leftovers() const {
    if (answers_.empty()) return std::nullopt;
    return "the " + std::string(AnswerKindName(answers_.front().Kind)) + " answer queued at line " +
           std::to_string(answers_.front().Line) + " was not used by any action";
}

void ScriptFrontEnd::Fail(const std::string& text) {
    if (!failure_) failure_ = "line " + std::to_string(line_) + ": " + text;
}

std::optional<Answer> ScriptFrontEnd::Take(AnswerKind kind, const std::string& shown) {
    if (answers_.empty()) {
        Fail("unexpected " + shown + ": no answer queued");
        return std::nullopt;
    }
    if (answers_.front().Kind != kind) {
        Fail(shown + " appeared, but the next answer (line " +
             std::to_string(answers_.front().Line) + ") is for a " +
             AnswerKindName(answers_.front().Kind));
        return std::nullopt;
    }
    Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

int ScriptFrontEnd::ShowMessage(const MessageRequest& message) {
    if (failure_) return -1;
    // A progress redraw over the box before it comes as often as time allows: a transcript that
    // recorded it would depend on the machine's speed.
    if (message.Buttons.empty() && (message.Flags & FMSG_KEEPBACKGROUND) != 0) return -1;
    transcript_.Message(message);
    if (message.Buttons.empty()) return -1;
    const std::string title = message.Lines.empty() ? std::string() : message.Lines.front();
    const std::optional<Answer> answer =
        Take(AnswerKind::Message, "message " + Transcript::Quoted(title));
    if (!answer) return -1;
    if (answer->Pick == Answer::Choice::Escape) {
        transcript_.Raw("  answer: esc");
        return -1;
    }
    if (answer->Index >= static_cast<int>(message.Buttons.size())) {
        Fail("message " + Transcript::Quoted(title) + " has no button " +
             std::to_string(answer->Index));
        return -1;
    }
    transcript_.Raw("  answer: " + std::to_string(answer->Index) + " " +
                    Transcript::Quoted(message.Buttons[answer->Index]));
    return answer->Index;
}

int ScriptFrontEnd::ShowMenu(const MenuRequest& menu) {
    if (failure_) return -1;
    transcript_.Menu(menu);
    const std::string shown = "menu " + Transcript::Quoted(menu.Title);
    const std::optional<Answer> answer = Take(AnswerKind::Menu, shown);
    if (!answer) return -1;
    if (answer->Pick == Answer::Choice::Escape) {
        transcript_.Raw("  answer: esc");
        return -1;
    }
    if (answer->Index >= static_cast<int>(menu.Items.size()) ||
        menu.Items[answer->Index].Separator) {
        Fail(shown + " has no entry " + std::to_string(answer->Index) + " to choose");
        return -1;
    }
    transcript_.Raw("  answer: " + std::to_string(answer->Index) + " " +
                    Transcript::Quoted(menu.Items[answer->Index].Text));
    return answer->Index;
}

bool ScriptFrontEnd::SetFields(const DialogRequest& dialog, const Answer& answer) {
    for (const DialogField& field : answer.Fields) {
        const std::string where = "dialog " +
                                  Transcript::Quoted(DialogTitle(dialog.Items, dialog.Count)) +
                                  " item " + std::to_string(field.Item);
        if (field.Item >= dialog.Count) {
            Fail(where + " does not exist");
            return false;
        }
        FarDialogItem& item = dialog.Items[field.Item];
        if (IsEditField(item.Type)) {
            const std::string text = platform::Utf8ToOem(field.Value);
            std::memset(item.Data, 0, sizeof item.Data);
            std::memcpy(item.Data, text.data(),
                        platform::Utf8PrefixLength(text, sizeof item.Data - 1));
        } else if (item.Type == DI_CHECKBOX && (field.Value == "on" || field.Value == "off")) {
            item.Selected = field.Value == "on" ? 1 : 0;
        } else if (item.Type == DI_RADIOBUTTON && field.Value == "on") {
            SelectRadio(dialog.Items, dialog.Count, field.Item);
        } else {
            Fail(where + " cannot take the value \"" + field.Value + "\"");
            return false;
        }
    }
    return true;
}

int ScriptFrontEnd::ShowDialog(const DialogRequest& dialog) {
    if (failure_) return -1;
    transcript_.Dialog(dialog);
    const std::string shown =
        "dialog " + Transcript::Quoted(DialogTitle(dialog.Items, dialog.Count));
    const std::optional<Answer> answer = Take(AnswerKind::Dialog, shown);
    if (!answer) return -1;
    if (answer->Pick == Answer::Choice::Escape) {
        transcript_.Raw("  answer: esc");
        return -1;
    }
    int closing = answer->Index;
    if (answer->Pick == Answer::Choice::Enter) {
        closing = EnterChoice(dialog.Items, dialog.Count);
    }
    if (closing >= dialog.Count) {
        Fail(shown + " has no item " + std::to_string(closing));
        return -1;
    }
    if (!SetFields(dialog, *answer)) return -1;
    std::string text = "  answer: " + std::to_string(closing) + " " +
                       Transcript::Quoted(dialog.Items[closing].Data);
    for (const DialogField& field : answer->Fields)
        text += ", " + std::to_string(field.Item) + "=\"" + field.Value + "\"";
    transcript_.Raw(text);
    return closing;
}

bool ScriptFrontEnd::View(const std::string& file, const std::string& title,
                          const std::string& charset, const ViewerKeys* keys) {
    try {
        const std::string content = ReadFileBytes(platform::ToNativePath(file));
        transcript_.Raw("viewer " + Transcript::Quoted(title) +
                        (charset.empty() ? "" : " [" + charset + "]") + ":");
        transcript_.FileContent(content, charset);
        if (keys) PressViewerKeys(*keys);
        return true;
    } catch (const std::exception&) {
        transcript_.Raw("viewer " + Transcript::Quoted(title) + ": the file cannot be read");
        return false;
    }
}

void ScriptFrontEnd::PressViewerKeys(const ViewerKeys& keys) {
    std::string bar;
    for (int f = 0; keys.Labels && f < 12; ++f)
        if (keys.Labels[f] && *keys.Labels[f])
            bar += " F" + std::to_string(f + 1) + ' ' + Transcript::Quoted(keys.Labels[f]);
    if (!bar.empty()) transcript_.Raw("  key bar:" + bar);
    // Without a viewer answer queued the viewer is left as with Esc.
    while (!failure_ && !answers_.empty() && answers_.front().Kind == AnswerKind::Viewer) {
        const KeyPress key = answers_.front().Key;
        answers_.pop_front();
        const bool closes = keys.ProcessKey && keys.ProcessKey(keys.Param, key.VirtualKey,
                                                               key.ControlState) == VKH_CLOSE;
        transcript_.Raw("  key " + KeyName(key) + (closes ? "" : " (unused)"));
        if (closes) return;
    }
}

void ScriptFrontEnd::ApplyEdits(const std::string& nativeCopy, const Answer& answer) {
    std::string text = ReadFileBytes(nativeCopy);
    const std::string lineBreak = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    for (const EditorStep& step : answer.Edits) {
        if (step.Kind == EditorStep::Kind::Append) {
            if (!text.empty() && text.back() != '\n') text += lineBreak;
            text += step.First + lineBreak;
            transcript_.Raw("  append \"" + step.First + "\"");
            continue;
        }
        const size_t found = text.find(step.First);
        if (step.First.empty() || found == std::string::npos) {
            Fail("the editor finds no \"" + step.First + "\" to replace");
            return;
        }
        text.replace(found, step.First.size(), step.Second);
        transcript_.Raw("  replace \"" + step.First + "\" with \"" + step.Second + "\"");
    }
    WriteFileBytes(nativeCopy, text);
}

bool ScriptFrontEnd::Edit(const std::string& file, const std::string& title, int line, int column) {
    if (failure_) return false;
    const std::string shown = "editor " + Transcript::Quoted(title);
    try {
        if (line > 0)
            transcript_.Raw(shown + " (cursor at line " + std::to_string(line) + ", column " +
                            std::to_string(std::max(column, 1)) + "):");
        else
            transcript_.Raw(shown + ":");
        transcript_.FileContent(ReadFileBytes(platform::ToNativePath(file)));
        const std::optional<Answer> answer = Take(AnswerKind::Editor, shown);
        if (!answer) return false;
        if (answer->Edits.empty()) {
            transcript_.Raw("  left without saving");
            return false;
        }
        const bool changed =
            EditAsUtf8(file, [&](const std::string& copy) { ApplyEdits(copy, *answer); });
        transcript_.Raw(changed ? "  saved" : "  saved unchanged");
        return changed && !failure_;
    } catch (const std::exception& error) {
        Fail(shown + ": " + error.what());
        return false;
    }
}

void ScriptFrontEnd::ShowText(int x, int y, const std::string& text) {
    transcript_.Raw("text at " + std::to_string(x) + "," + std::to_string(y) + ": " +
                    Transcript::Quoted(text));
}

void ScriptFrontEnd::Notice(const std::string& text) {
    transcript_.Labelled("note: ", text);
}

void ScriptFrontEnd::Trace(const std::string& call) {
    transcript_.Labelled("  call: ", call);
}

}  // namespace kestrova::host
