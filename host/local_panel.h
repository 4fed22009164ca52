// A panel showing a folder of the file system: folders first, then files, each by name, with
// ".." above everything except at the root.
#pragma once

#include <string>

#include "host/panel_view.h"

namespace kestrova::host {

class LocalPanel : public PanelView {
  public:
    // folder: an OEM path; it is made absolute.
    explicit LocalPanel(const std::string& folder);

    const std::string& Folder() const override { return folder_; }
    bool IsModulePanel() const override { return false; }
    // Changes to another folder (relative paths count from the current one); false when it is
    // not a folder.
    bool ChangeFolder(const std::string& folder);
    // The OEM path of an item name of this panel.
    std::string PathOf(const std::string& name) const;

    // Making and deleting in the folder; each throws HostError naming what failed and why.
    // name may hold further folders ("a/b"), which are made too.
    void MakeFolder(const std::string& name) const;
    // True for a folder (not a link to one) with anything in it.
    bool IsFilledFolder(const std::string& name) const;
    // A file, link or empty folder; with everything in it: a folder that is not empty.
    void Delete(const std::string& name, bool withContents) const;

  private:
    void List(PanelItemList& items) override;

    std::string folder_;
};

}  // namespace kestrova::host
