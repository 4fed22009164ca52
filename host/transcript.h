// The transcript of what a user would have seen: message boxes, menus, dialogs, panels, viewer
// and editor contents. Texts arrive as OEM bytes and are written as UTF-8.
#pragma once

#include <ostream>
#include <string>

#include "host/front_end.h"
#include "host/local_panel.h"
#include "host/module_panel.h"

namespace kestrova::host {

class Transcript {
  public:
    explicit Transcript(std::ostream& out) : out_(out) {}

    // A line already in UTF-8 (script echo, errors).
    void Raw(const std::string& utf8Line);
    // An OEM text after a label, e.g. "title: ".
    void Labelled(const std::string& label, const std::string& oemText);

    void Message(const MessageRequest& message);
    void Menu(const MenuRequest& menu);
    void Dialog(const DialogRequest& dialog);
    // The contents of a text file, one "  | " line per line; with a charset (an article's own),
    // each line that is not well-formed UTF-8 is read in it. A CR that ends a line is left out,
    // unless showLineEndCr asks for it to show (as every other CR does) to tell CR LF from LF.
    void FileContent(const std::string& oemText, const std::string& charset = {},
                     bool showLineEndCr = false);
    void ModulePanelListing(const ModulePanel& panel);
    // Local folders are shown relative to base so that transcripts do not depend on where they ran.
    void LocalPanelListing(const LocalPanel& panel, const std::string& base);
    void KeyBar(const KeyBarLabels& labels);

    // The UTF-8 form of OEM text with its control characters made visible (as in FileContent).
    static std::string Utf8(const std::string& oemText);
    static std::string Quoted(const std::string& oemText);
    static std::string RelativeFolder(const std::string& folder, const std::string& base);

  private:
    void Items(const PanelView& panel);

    std::ostream& out_;
};

}  // namespace kestrova::host
