// The script driver's front end: answers every message box, menu, dialog and editor from the
// queued answers and writes what was shown to the transcript. Something shown without a
// fitting answer fails the running action; from then on everything is answered with Esc.
#pragma once

#include <deque>
#include <optional>
#include <string>

#include "host/front_end.h"
#include "host/script_answers.h"
#include "host/transcript.h"

namespace kestrova::host {

class ScriptFrontEnd : public FrontEnd {
  public:
    explicit ScriptFrontEnd(Transcript& transcript) : transcript_(transcript) {}

    void Queue(const Answer& answer) { answers_.push_back(answer); }
    // Starts the action of a script line.
    void BeginAction(int line);
    // Ends it: the failure text, if the action failed or left a queued answer unused.
    std::optional<std::string> EndAction();
    // Answers queued but never used by any action.
    std::optional<std::string> Leftovers() const;

    int ShowMessage(const MessageRequest& message) override;
    int ShowMenu(const MenuRequest& menu) override;
    int ShowDialog(const DialogRequest& dialog) override;
    bool View(const std::string& file, const std::string& title, const std::string& charset,
              const ViewerKeys* keys) override;
    bool Edit(const std::string& file, const std::string& title, int line, int column) override;
    void ShowText(int x, int y, const std::string& text) override;
    void Notice(const std::string& text) override;
    void Trace(const std::string& call) override;

  private:
    // The next answer when it is of kind; otherwise records why not (shown names what appeared).
    std::optional<Answer> Take(AnswerKind kind, const std::string& shown);
    void Fail(const std::string& text);
    // Applies the field values of a dialog answer; false (with the failure recorded) on a bad one.
    bool SetFields(const DialogRequest& dialog, const Answer& answer);
    void ApplyEdits(const std::string& nativeCopy, const Answer& answer);
    // Hands the module the keys of the viewer answers queued next, until one closes the viewer.
    void PressViewerKeys(const ViewerKeys& keys);

    Transcript& transcript_;
    std::deque<Answer> answers_;
    std::optional<std::string> failure_;
    int line_ = 0;
};

}  // namespace kestrova::host
