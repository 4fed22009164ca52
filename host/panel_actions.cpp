// What the host does with a key on the module's panel once the module's ProcessKey left it.
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <system_error>

#include "host/host.h"
#include "host/host_error.h"
#include "platform/filesystem.h"

namespace kestrova::host {
namespace {

// A folder of its own for one file the module gets for viewing or editing; removed with it.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = platform::ToNativePath(platform::TempFolder()) + "kestrova-XXXXXX";
        if (!mkdtemp(pattern.data()))
            throw HostError("cannot create a temporary folder in " +
                            platform::ToNativePath(platform::TempFolder()));
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string Oem() const { return platform::FromNativePath(path_); }
    // The first file the module wrote into the folder, or an empty path.
    std::filesystem::path FirstFile() const {
        std::error_code error;
        for (std::filesystem::directory_iterator it(path_, error), end; !error && it != end;
             it.increment(error))
            if (it->is_regular_file(error)) return it->path();
        return {};
    }
    const std::string& Native() const { return path_; }

  private:
    std::string path_;
};

void CopyPath(char (&buffer)[NM], const std::string& path) {
    std::memset(buffer, 0, sizeof buffer);
    std::strncpy(buffer, path.c_str(), sizeof buffer - 1);
}

std::string LastComponent(std::string folder) {
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    const size_t separator = folder.find_last_of('\\');
    return separator == std::string::npos ? folder : folder.substr(separator + 1);
}

}  // namespace

void Host::PressKey(const KeyPress& key, const std::string& destination) {
    if (OfferKeyToModule(key) || !panel_) return;
    if (!HostKeyAction(key, destination))
        frontEnd_.Notice("the key " + KeyName(key) + " does nothing here");
}

bool Host::OfferKeyToModule(const KeyPress& key) {
    RequirePanel();
    const int handled = module_.ProcessKey(panel_->Handle(), key.VirtualKey, key.ControlState);
    AfterModuleCall();
    if (handled && panel_) panel_->RefreshInfo();
    return handled != 0;
}

bool Host::HostKeyAction(const KeyPress& key, const std::string& destination) {
    RequirePanel();
    const int current = panel_->Current();
    const bool onItem = current < static_cast<int>(panel_->Items().Size());
    if (key.ControlState == 0) {
        switch (key.VirtualKey) {
            case VK_RETURN:
                if (onItem && IsFolder(panel_->Items()[current]))
                    EnterFolder(ItemName(panel_->Items()[current]));
                else
                    frontEnd_.Notice("Enter on a file of the module's panel runs nothing");
                return true;
            case VK_UP:
                panel_->MoveCursor(-1);
                return true;
            case VK_DOWN:
                panel_->MoveCursor(1);
                return true;
            case VK_PRIOR:
                panel_->MoveCursor(-panel_->VisibleRows());
                return true;
            case VK_NEXT:
                panel_->MoveCursor(panel_->VisibleRows());
                return true;
            case VK_HOME:
                panel_->SetCursor(0, 0);
                return true;
            case VK_END:
                panel_->SetCursor(static_cast<int>(panel_->Items().Size()) - 1, panel_->Top());
                return true;
            case VK_INSERT:
                if (onItem)
                    panel_->SetSelected(current, !(panel_->Items()[current].Flags & PPIF_SELECTED));
                panel_->MoveCursor(1);
                return true;
            case VK_F3:
                ViewOrEdit(false);
                return true;
            case VK_F4:
                ViewOrEdit(true);
                return true;
            case VK_F5:
                CopyOut(false, destination);
                return true;
            case VK_F6:
                CopyOut(true, destination);
                return true;
            case VK_F7:
                MakeFolder();
                return true;
            case VK_F8:
                DeleteItems();
                return true;
            default:
                break;
        }
    }
    if (key.ControlState == PKF_CONTROL) {
        if (key.VirtualKey == 'R') {
            RereadPanels();
            return true;
        }
        if (key.VirtualKey == VK_PRIOR) {
            EnterFolder("..");
            return true;
        }
        if (key.VirtualKey >= '0' && key.VirtualKey <= '9') {
            ChangeViewMode(key.VirtualKey - '0');
            return true;
        }
    }
    return false;
}

void Host::RereadPanels() {
    if (panel_) {
        rereading_ = true;
        panel_->Reread();
        rereading_ = false;
        AfterModuleCall();
    }
    otherLocal_.Reread();
}

void Host::EnterFolder(const std::string& name) {
    const std::string previous = panel_->Folder();
    cursorPlacedByModule_ = false;
    const int entered = module_.SetDirectory(panel_->Handle(), name, 0);
    AfterModuleCall();
    if (!panel_) return;
    if (!entered) {
        panel_->RefreshInfo();
        return;
    }
    // Where the module placed the cursor itself, the reread keeps it on that item.
    const bool placed = cursorPlacedByModule_;
    if (!placed) panel_->SetCursor(0, 0);
    RereadPanels();
    // Coming up, the cursor stands on the folder just left.
    if (panel_ && name == ".." && !placed) {
        const int left = panel_->Find(LastComponent(previous));
        if (left >= 0) panel_->SetCursor(left, 0);
    }
}

void Host::CopyOut(bool move, const std::string& destination) {
    std::vector<PluginPanelItem> items = panel_->SelectedOrCurrent();
    if (items.empty()) {
        frontEnd_.Notice("no item to copy");
        return;
    }
    char target[NM];
    CopyPath(target, destination.empty() ? otherLocal_.Folder() : otherLocal_.PathOf(destination));
    module_.GetFiles(panel_->Handle(), items.data(), static_cast<int>(items.size()), move ? 1 : 0,
                     target, 0);
    AfterModuleCall();
    if (panel_) panel_->TakeSelectionBack(items);
    RereadPanels();
}

void Host::PutFromLocal(const std::vector<std::string>& names, bool move) {
    RequirePanel();
    std::vector<PluginPanelItem> items;
    for (const std::string& name : names) {
        const int index = otherLocal_.Find(name);
        if (index < 0 || name == "..")
            throw HostError("the local panel has no item " + platform::ToNativePath(name));
        items.push_back(otherLocal_.Items()[index]);
        items.back().Flags |= PPIF_SELECTED;
    }
    if (items.empty()) throw HostError("no local item named to put");
    module_.PutFiles(panel_->Handle(), items.data(), static_cast<int>(items.size()), move ? 1 : 0,
                     0);
    AfterModuleCall();
    RereadPanels();
}

void Host::ViewOrEdit(bool edit) {
    const int current = panel_->Current();
    if (current >= static_cast<int>(panel_->Items().Size()) || IsFolder(panel_->Items()[current])) {
        frontEnd_.Notice(std::string(edit ? "F4" : "F3") + " on a folder does nothing here");
        return;
    }
    std::vector<PluginPanelItem> items{panel_->Items()[current]};
    const std::string name = ItemName(items[0]);
    TempFolder folder;
    char target[NM];
    CopyPath(target, folder.Oem());
    const int got = module_.GetFiles(panel_->Handle(), items.data(), 1, 0, target,
                                     OPM_SILENT | (edit ? OPM_EDIT : OPM_VIEW));
    AfterModuleCall();
    const std::filesystem::path file = folder.FirstFile();
    if (!got || file.empty()) return;
    const std::string oemFile = platform::FromNativePath(file.string());
    if (!edit) {
        frontEnd_.View(oemFile, name, "", nullptr);
        return;
    }
    if (!frontEnd_.Edit(oemFile, name, 0, 0) || !panel_) return;
    // The edited file goes back from its own folder, named as the module wrote it.
    std::vector<PluginPanelItem> edited{items[0]};
    FAR_FIND_DATA data{};
    if (platform::GetFindData(oemFile, data)) edited[0].FindData = data;
    SetItemName(edited[0].FindData, platform::FromNativePath(file.filename().string()));
    if (chdir(folder.Native().c_str()) != 0)
        throw HostError("cannot enter the folder " + folder.Native());
    module_.PutFiles(panel_->Handle(), edited.data(), 1, 0, OPM_EDIT);
    ChangeLocalFolder(otherLocal_.Folder());
    AfterModuleCall();
    RereadPanels();
}

void Host::MakeFolder() {
    char name[NM] = {};
    const int made = module_.MakeDirectory(panel_->Handle(), name, 0);
    AfterModuleCall();
    if (made != 1 || !panel_) return;
    RereadPanels();
    if (panel_ && panel_->Find(name) >= 0) panel_->SetCursor(panel_->Find(name), panel_->Top());
}

void Host::DeleteItems() {
    std::vector<PluginPanelItem> items = panel_->SelectedOrCurrent();
    if (items.empty()) {
        frontEnd_.Notice("no item to delete");
        return;
    }
    module_.DeleteFiles(panel_->Handle(), items.data(), static_cast<int>(items.size()), 0);
    AfterModuleCall();
    if (panel_) panel_->TakeSelectionBack(items);
    RereadPanels();
}

void Host::ChangeViewMode(int mode) {
    panel_->SetViewMode(mode);
    std::string columns = panel_->ColumnTypes();
    module_.ProcessEvent(panel_->Handle(), FE_CHANGEVIEWMODE, columns.data());
    AfterModuleCall();
    RereadPanels();
}

}  // namespace kestrova::host
