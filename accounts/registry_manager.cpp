#include "accounts/registry_manager.h"

#include "common/errors.h"
#include "common/format_text.h"
#include "common/path_utils.h"
#include "common/text_utils.h"
#include "platform/clock.h"
#include "platform/filesystem.h"
#include "store/reg_ini_file.h"
#include "ui/host_services.h"
#include "ui/item_text.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/module_state.h"
#include "ui/panel_items.h"

namespace kestrova {
namespace {

constexpr char kStoreDelim = '\\';
constexpr const char* kStateValue = "Registry state";
constexpr const char* kPathValue = "Registry path";
constexpr const char* kFolderValue = "Folder";
constexpr const char* kCreateTime = "Create time";
constexpr const char* kModifyTime = "Modify time";
constexpr uint32_t kStoreErrorCode = kItemFailure;

char* Label(int msgNum) {
    // The host only reads the labels.
    return const_cast<char*>(GetMsg(msgNum));
}

void SetTimes(PluginPanelItem& item, const FILETIME& created, const FILETIME& modified) {
    item.FindData.ftCreationTime = created;
    item.FindData.ftLastWriteTime = modified;
    item.FindData.ftLastAccessTime = modified;
}

std::string FileDirectory(const std::string& dir) {
    return dir.empty() ? std::string(".") + platform::kPathDelim : dir;
}

}  // namespace

TRegistryManager::TRegistryManager(HANDLE owner, const std::string& pluginRoot,
                                   const std::string& privateRoot)
    : Owner(owner),
      PluginRoot(IncludeTrailingSeparator(pluginRoot, kStoreDelim)),
      PrivateRoot(IncludeTrailingSeparator(privateRoot, kStoreDelim)) {
    TRegIniFile state(PluginRoot);
    Store = state.ReadInteger("", kStateValue, kStoreChoice);
    if (Store != kPluginStore && Store != kPrivateStore) Store = kStoreChoice;
    SetPath(state.ReadString("", kPathValue, "\\"));
    if (!PathExists("")) SetPath("\\");
}

TRegistryManager::~TRegistryManager() {
    try {
        TRegIniFile state(PluginRoot);
        state.WriteInteger("", kStateValue, Store);
        state.WriteString("", kPathValue, Path);
    } catch (...) {
        // Nothing can be reported while the panel closes; the next start opens at the top.
    }
}

bool TRegistryManager::CanLeaveStore() {
    return false;
}

void TRegistryManager::SetPath(const std::string& path) {
    std::string result = path;
    if (!result.empty() && result.back() == kStoreDelim) result.pop_back();
    if (result.empty() || result.front() != kStoreDelim) result.insert(result.begin(), kStoreDelim);
    Path = result;
}

std::string TRegistryManager::GetKeyPath(const std::string& name) const {
    std::string key = name;
    if (InStore()) {
        const std::string& parent = Store == kPrivateStore ? PrivateRoot : PluginRoot;
        key = parent + "HOSTS" + CombinePath(Path, name, kStoreDelim);
    }
    if (!key.empty() && key.back() == kStoreDelim) key.pop_back();
    return key;
}

bool TRegistryManager::PathExists(const std::string& name) const {
    TRegistry registry;
    return registry.OpenKey(GetKeyPath(name), false);
}

void TRegistryManager::ListItems(PluginPanelItem*& items, int& count) {
    if (InStore())
        ListFolder(items, count);
    else
        ListStores(items, count);
}

void TRegistryManager::ListStores(PluginPanelItem*& items, int& count) {
    const FILETIME now = platform::NowFileTime();
    items = AllocPanelItems(2);
    count = 2;
    const int names[] = {kMsgPluginStore, kMsgPrivateStore};
    for (int store = kPluginStore; store <= kPrivateStore; ++store) {
        PluginPanelItem& item = items[store];
        item.FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        SetTimes(item, now, now);
        CopyItemText(item.FindData.cFileName, GetMsg(names[store]));
        item.UserData = store;
    }
}

void TRegistryManager::ListFolder(PluginPanelItem*& items, int& count) {
    // The store's top key is made on first use; a folder that vanished meanwhile is not
    // recreated (it would come back without its folder mark) but lists as empty.
    TStringList names;
    std::unique_ptr<TRegIniFile> view;
    if (Path == "\\" || PathExists("")) {
        view = std::make_unique<TRegIniFile>(GetKeyPath(""));
        view->ReadSections(names);
    }
    intptr_t flag = 0;
    if (names.Count() == 0) {
        names.Add(GetMsg(kMsgPlaceholder));
        flag = kPlaceholderItem;
    }
    PluginPanelItem* list = AllocPanelItems(names.Count());
    try {
        const FILETIME now = platform::NowFileTime();
        for (int i = 0; i < names.Count(); ++i) {
            PluginPanelItem& item = list[i];
            const std::string& name = names[i];
            CopyItemText(item.FindData.cFileName, name);
            item.FindData.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
            SetTimes(item, now, now);
            if (view && flag == 0) {
                if (view->ReadInteger(name, kFolderValue, 0) != 0)
                    item.FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
                SetTimes(item, view->ReadTime(name, kCreateTime, now),
                         view->ReadTime(name, kModifyTime, now));
                FillItem(*view, name, item);
            }
            item.UserData |= flag;
        }
    } catch (...) {
        FreePanelItems(list, names.Count());
        throw;
    }
    items = list;
    count = names.Count();
}

bool TRegistryManager::GetPanelInfo(PanelInfo& info) const {
    info = PanelInfo{};
    return StartupInfo.Control && StartupInfo.Control(Owner, FCTL_GETPANELINFO, &info) != 0;
}

void TRegistryManager::SetDirectory(const std::string& name) {
    if (name == ".." && Path == "\\") {
        if (InStore() && CanLeaveStore()) {
            const int oldStore = Store;
            Store = kStoreChoice;
            SetPath("\\");
            if (StartupInfo.Control) StartupInfo.Control(Owner, FCTL_UPDATEPANEL, nullptr);
            FocusStore(oldStore);
            return;
        }
        throw EPluginLeave();
    }
    if (!InStore()) {
        SelectStore(name);
        return;
    }
    if (!PathExists(name)) RaiseError(FormatText(GetMsg(kMsgNoFolder), {name}), "SetDirectory");
    SetPath(CombinePath(Path, name, kStoreDelim));
}

void TRegistryManager::SelectStore(const std::string& name) {
    PanelInfo info;
    if (!GetPanelInfo(info)) return;
    for (int i = 0; i < info.ItemsNumber; ++i) {
        const PluginPanelItem& item = info.PanelItems[i];
        if (CompareTextOem(item.FindData.cFileName, name) != 0) continue;
        if (item.UserData >= kPluginStore && item.UserData <= kPrivateStore) {
            Store = static_cast<int>(item.UserData);
            break;
        }
        Store = kStoreChoice;
    }
    // A folder kept from the other store may not exist in this one; listing it would bring
    // its key back without the folder mark.
    if (InStore() && !PathExists("")) SetPath("\\");
}

void TRegistryManager::FocusStore(int oldStore) {
    if (InStore()) return;
    PanelInfo info;
    if (!GetPanelInfo(info)) return;
    for (int i = 0; i < info.ItemsNumber; ++i) {
        const PluginPanelItem& item = info.PanelItems[i];
        if (std::string_view(item.FindData.cFileName) == ".." || item.UserData != oldStore)
            continue;
        PanelRedrawInfo redraw{i, 0};
        StartupInfo.Control(Owner, FCTL_REDRAWPANEL, &redraw);
        return;
    }
}

void TRegistryManager::ForceFolder(const std::string& folder) {
    auto fail = [&] {
        RaiseError(FormatText(GetMsg(kMsgCannotCreate), {folder}), "MakeDirectory");
    };
    if (!InStore()) fail();
    const std::string path = CombinePath(Path, folder, kStoreDelim);
    std::string key = GetKeyPath("\\");
    size_t begin = 0;
    while (begin < path.size()) {
        size_t end = path.find(kStoreDelim, begin);
        if (end == std::string::npos) end = path.size();
        const std::string component = path.substr(begin, end - begin);
        begin = end + 1;
        if (component.empty()) continue;
        TRegIniFile parent(key);
        if (!parent.KeyExists(component)) {
            try {
                parent.WriteString(component, kFolderValue, "1");
            } catch (const ERegistryError&) {
                fail();
            }
        } else if (parent.ReadInteger(component, kFolderValue, 0) == 0) {
            fail();  // an item of that name is in the way
        }
        key += kStoreDelim + component;
    }
}

void TRegistryManager::MakeDirectory(const std::string& name) {
    ForceFolder(name);
}

void TRegistryManager::DeleteItem(const std::string& name) {
    if (!InStore()) return;  // the stores themselves are not deleted
    const size_t split = name.rfind(kStoreDelim);
    const std::string folder = split == std::string::npos ? "" : name.substr(0, split);
    const std::string last = split == std::string::npos ? name : name.substr(split + 1);
    if (last.empty() || !PathExists(folder)) return;
    TRegIniFile view(GetKeyPath(folder));
    view.EraseSection(last);
}

void TRegistryManager::GetFile(const std::string& folder, const std::string& name,
                               const std::string& destDir, const std::string& destName) {
    const std::string dir = FileDirectory(destDir);
    const std::string file = dir + destName;
    if (platform::FileExists(file)) platform::DeleteFile(file);
    TItemRecord item;
    TItemRelease release(*this, item);
    if (ReadItem(folder, name, item)) SaveToFile(dir, destName, item.get());
}

void TRegistryManager::PutFile(const std::string& srcDir, const std::string& srcName,
                               const std::string& folder) {
    const std::string dir = FileDirectory(srcDir);
    TItemRecord item;
    TItemRelease release(*this, item);
    if (!LoadFromFile(dir, srcName, item))
        RaiseError(FormatText(GetMsg(kMsgNoItemInFile), {dir + srcName}), "PutFile");
    WriteItem(folder, "", *item);
}

int TRegistryManager::GetItemInfo(const std::string& folder, const std::string& name,
                                  FAR_FIND_DATA& data) {
    data = FAR_FIND_DATA{};
    if (!InStore() || name.empty() || !PathExists(folder)) return -1;
    TRegIniFile view(GetKeyPath(folder));
    if (!view.KeyExists(name)) return -1;
    const FILETIME now = platform::NowFileTime();
    CopyItemText(data.cFileName, name);
    data.ftCreationTime = view.ReadTime(name, kCreateTime, now);
    data.ftLastWriteTime = data.ftLastAccessTime = view.ReadTime(name, kModifyTime, now);
    data.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    data.nFileSizeLow = 512;
    return FILE_ATTRIBUTE_ARCHIVE;
}

bool TRegistryManager::ProcessKey(int key, unsigned controlState, TKeyContext& context,
                                  int& action) {
    action = kActionNone;
    const PanelInfo& info = context.Info;
    if (info.CurrentItem < 0 || info.CurrentItem >= info.ItemsNumber || !info.PanelItems)
        return false;
    const bool plain = controlState == 0;
    const bool shift = controlState == PKF_SHIFT;
    // At the store choice no item may be edited, made, renamed, copied in place or deleted.
    const bool editKey = key == VK_F4 || key == VK_F6 || key == VK_F7 || key == VK_F8;
    if (!InStore() && ((editKey && (plain || shift)) || (key == VK_F5 && shift)))
        action = kActionSwallow;
    else if (key == VK_F4 && plain)
        action = kActionEditItem;
    else if (key == VK_F4 && shift)
        action = kActionNewItem;
    else if (key == VK_F5 && shift)
        action = kActionCopyItem;
    else if (key == VK_F6 && shift)
        action = kActionEditItem;
    else if (key == VK_RETURN && plain)
        action = kActionOpenItem;

    const PluginPanelItem& current = info.PanelItems[info.CurrentItem];
    if ((current.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        (current.UserData & kPlaceholderItem) != 0) {
        if (action == kActionEditItem || action == kActionCopyItem)
            action = kActionNewItem;
        else if (action == kActionOpenItem)
            action = kActionNone;  // the host enters the folder itself
    }
    return false;
}

void TRegistryManager::FillPluginInfo(OpenPluginInfo& info, std::string& /*shortcutData*/) {
    info.Flags |= OPIF_USEATTRHIGHLIGHTING;
    ::KeyBarTitles& bar = KeyBarTitles;
    for (int f : {3, 4, 6}) bar.AltTitles[f - 1] = Label(kMsgEmpty);
    for (int f : {1, 2, 3, 4, 5, 7}) bar.ShiftTitles[f - 1] = Label(kMsgEmpty);
    if (!InStore()) {
        for (int f : {3, 4, 6, 7, 8}) bar.Titles[f - 1] = Label(kMsgEmpty);
        bar.AltTitles[7] = Label(kMsgEmpty);
        bar.ShiftTitles[5] = Label(kMsgEmpty);
        bar.ShiftTitles[7] = Label(kMsgEmpty);
    } else {
        bar.ShiftTitles[3] = Label(kMsgNewItem);
        bar.ShiftTitles[4] = Label(kMsgCopyItem);
    }
}

int TRegistryManager::Notify(int kind, intptr_t text, intptr_t message) {
    return OnNotify ? OnNotify(kind, text, message) : 0;
}

void TRegistryManager::RaiseError(const std::string& message, const char* procName) const {
    throw ERegistryError(kStoreErrorCode, message, procName);
}

}  // namespace kestrova
