// TRegistryManager: the registry-mode panel's file system. Folders of the settings store are
// shown as folders and stored items as files, in two stores (the plugin store under the plugin
// settings root, the private store under the module's own key) with the store choice above
// them. What an item holds is left to the derived class through the virtual slots.
//
// Store paths use "\"; file-system paths (account files) use platform::kPathDelim.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "hostapi/plugin_api.h"
#include "ui/event_kinds.h"
#include "ui/key_context.h"

namespace kestrova {

class TRegIniFile;

// The callback through which a manager asks the panel for a confirmation (ui/event_kinds.h);
// the result is the answer (0 when no handler is set).
using TNotifyEvent = std::function<int(int kind, intptr_t param1, intptr_t param2)>;

// Store numbers.
inline constexpr int kStoreChoice = -1;
inline constexpr int kPluginStore = 0;
inline constexpr int kPrivateStore = 1;

// UserData bit of the placeholder item of an empty folder.
inline constexpr intptr_t kPlaceholderItem = 2;

class TRegistryManager {
  public:
    // Restores Store and Path from "Registry state" and "Registry path" under pluginRoot; a
    // restored folder that no longer exists falls back to the top folder.
    TRegistryManager(HANDLE owner, const std::string& pluginRoot, const std::string& privateRoot);
    // Writes Store and Path back; a failing write is ignored.
    virtual ~TRegistryManager();
    TRegistryManager(const TRegistryManager&) = delete;
    TRegistryManager& operator=(const TRegistryManager&) = delete;

    // ---- Slots, in slot order ----
    // Reads an item file (dir + fileName; an empty dir is the current folder); true when it
    // held an item.
    virtual bool LoadFromFile(const std::string& dir, const std::string& fileName,
                              TItemRecord& item) = 0;
    // Writes item to the file dir + fileName; true when written.
    virtual bool SaveToFile(const std::string& dir, const std::string& fileName,
                            const TAccountOptions* item) = 0;
    // Reads item name of folder (relative to Path) into a new record.
    virtual bool ReadItem(const std::string& folder, const std::string& name,
                          TItemRecord& item) = 0;
    // Stores item in folder, removing oldName (may be empty) once it is written.
    virtual bool WriteItem(const std::string& folder, const std::string& oldName,
                           const TAccountOptions& item) = 0;
    // Rewrites the edited item oldName of the current folder, keeping its creation time.
    virtual bool UpdateItem(const std::string& oldName, const TAccountOptions& item) = 0;
    virtual void FreeItem(TItemRecord& item) = 0;
    // Whether ".." at a store's top folder goes to the store choice; base: false.
    virtual bool CanLeaveStore();
    // Completes a listed item from the view of the current folder.
    virtual void FillItem(TRegIniFile& view, const std::string& name, PluginPanelItem& item) = 0;
    // Maps a key to a key action (see the kAction constants); true when handled here.
    virtual bool ProcessKey(int key, unsigned controlState, TKeyContext& context, int& action);
    // The registry-mode panel flags and key-bar labels; shortcutData is the derived class's.
    virtual void FillPluginInfo(OpenPluginInfo& info, std::string& shortcutData);

    // ---- Folders ----
    // Stores path with no trailing backslash and a leading one ("" becomes "\").
    void SetPath(const std::string& path);
    // The key of name in the current folder; at the store choice name itself.
    std::string GetKeyPath(const std::string& name) const;
    bool PathExists(const std::string& name) const;
    // The items of the current level in a new array (see ui/panel_items.h).
    void ListItems(PluginPanelItem*& items, int& count);
    // Enters name (".." goes up, "\" to the top). Raises EPluginLeave for ".." at the top when
    // the store choice is not offered, ERegistryError (message 22) for a missing folder.
    void SetDirectory(const std::string& name);
    // Creates folder name; ERegistryError (message 23) when it cannot be created.
    void MakeDirectory(const std::string& name);
    // Deletes an item or a folder with everything in it; name may hold a folder part.
    void DeleteItem(const std::string& name);
    // Writes item name of folder to the file destDir + destName, replacing an existing file.
    void GetFile(const std::string& folder, const std::string& name, const std::string& destDir,
                 const std::string& destName);
    // Stores the item of the file srcDir + srcName in folder, under the name its content gives.
    // ERegistryError (message 25) when the file holds no item.
    void PutFile(const std::string& srcDir, const std::string& srcName, const std::string& folder);
    // Find data of item name of folder: 0x20 when it exists, -1 (data cleared) otherwise.
    int GetItemInfo(const std::string& folder, const std::string& name, FAR_FIND_DATA& data);
    // At the store choice: enters the store whose panel item is called name.
    void SelectStore(const std::string& name);
    // At the store choice: puts the cursor on the panel item of store oldStore.
    void FocusStore(int oldStore);

    // Calls OnNotify; 0 when no handler is set.
    int Notify(int kind, intptr_t text, intptr_t message);

    HANDLE Owner;
    std::string Path = "\\";
    std::string PluginRoot;
    std::string PrivateRoot;
    TNotifyEvent OnNotify;
    int Store = kStoreChoice;

  protected:
    [[noreturn]] void RaiseError(const std::string& message, const char* procName) const;
    // Creates the missing folders of folder (relative to Path), each with its folder mark.
    void ForceFolder(const std::string& folder);
    bool InStore() const { return Store != kStoreChoice; }

  private:
    void ListStores(PluginPanelItem*& items, int& count);
    void ListFolder(PluginPanelItem*& items, int& count);
    bool GetPanelInfo(PanelInfo& info) const;
};

// Frees an item record through the manager's FreeItem slot however the scope is left.
class TItemRelease {
  public:
    TItemRelease(TRegistryManager& manager, TItemRecord& item) : manager_(manager), item_(item) {}
    ~TItemRelease() { manager_.FreeItem(item_); }
    TItemRelease(const TItemRelease&) = delete;
    TItemRelease& operator=(const TItemRelease&) = delete;

  private:
    TRegistryManager& manager_;
    TItemRecord& item_;
};

}  // namespace kestrova
