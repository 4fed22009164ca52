// TNewsRegistryManager: the registry-mode panel of news accounts. Each account is a key of a
// store folder named by the account's Description (or its URL text when it has none) and
// listed with its URL as description; accounts are edited through the account dialog, copied
// to and from account files, and opened (the panel then connects).
#pragma once

#include <string>

#include "accounts/registry_manager.h"

namespace kestrova {

class TNewsRegistryManager : public TRegistryManager {
  public:
    // Without "Show private hosts" the panel always opens at the top of the plugin store.
    TNewsRegistryManager(HANDLE owner, const std::string& pluginRoot,
                         const std::string& privateRoot);

    // Account files (news_account_files.cpp). LoadFromFile raises EFOpenError for a missing
    // file, EInternetError for a "Url" whose port is not a port, and returns false for one
    // without a "Url".
    bool LoadFromFile(const std::string& dir, const std::string& fileName,
                      TItemRecord& item) override;
    bool SaveToFile(const std::string& dir, const std::string& fileName,
                    const TAccountOptions* item) override;

    // Always true: a missing account reads as the defaults with the scheme "news".
    bool ReadItem(const std::string& folder, const std::string& name, TItemRecord& item) override;
    // Stores item under its key name. An existing key of another account is replaced only
    // when the user confirms (OnNotify kind 3); false when declined or the name is empty.
    bool WriteItem(const std::string& folder, const std::string& oldName,
                   const TAccountOptions& item) override;
    // As WriteItem in the current folder, keeping the creation time of oldName; an account
    // edited in place is replaced without a question. False only for an account without host.
    bool UpdateItem(const std::string& oldName, const TAccountOptions& item) override;
    void FreeItem(TItemRecord& item) override;
    bool CanLeaveStore() override;
    void FillItem(TRegIniFile& view, const std::string& name, PluginPanelItem& item) override;
    // The base mapping, then Enter reads the account for the panel to open, and F4, Shift+F4,
    // Shift+F5 and Shift+F6 run the account dialog (edit, new, copy, rename).
    bool ProcessKey(int key, unsigned controlState, TKeyContext& context, int& action) override;
    // The base labels, then the shortcut data, the info lines and the one panel mode.
    void FillPluginInfo(OpenPluginInfo& info, std::string& shortcutData) override;

    // A new account with the default account's author fields and options, and no address.
    void NewItem(TItemRecord& item);
    // A folder's store path, or an account's URL (with the password only when asked).
    void GetItemUrl(const PluginPanelItem& item, bool withPassword, std::string& text);
    // "Kestrova", marked with "*" in the private store.
    void GetTitle(std::string& text) const;
    // Shortcut data of the current folder: "009" + "0" + store + "0  0  0" + Path.
    void BuildShortcut(std::string& text) const;

  private:
    // Writes account under its key name in folder with the given creation time and removes
    // oldName; asks before replacing another account. False when not written.
    bool StoreAccount(const std::string& folder, const std::string& oldName,
                      const TAccountOptions& account, const FILETIME* createTime);
    // The account dialog on the record of the key context: saves on "save", leaves the record
    // for the panel on "connect". Returns the slot's result.
    bool EditItem(const std::string& name, TKeyContext& context, int& action);
};

}  // namespace kestrova
