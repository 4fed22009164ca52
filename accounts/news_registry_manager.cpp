#include "accounts/news_registry_manager.h"

#include "accounts/account_values.h"
#include "common/format_text.h"
#include "platform/clock.h"
#include "platform/settings_store.h"
#include "platform/store_name_fold.h"
#include "store/reg_ini_file.h"
#include "ui/account_dialog.h"
#include "ui/item_text.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/module_state.h"
#include "ui/panel_items.h"
#include "ui/plugin_options.h"
#include "ui/product_info.h"

namespace kestrova {
namespace {

constexpr const char* kCreateTime = "Create time";
constexpr const char* kModifyTime = "Modify time";
constexpr int kInfoLineCount = 12;
constexpr size_t kInfoTextLimit = 79;

// The registry-mode view: names only, the account's URL on the status line.
const PanelMode kAccountsMode = {
    "N", "0", nullptr, 0, 0, 0, 0, "Z", "0", {0, 0},
};

// Whether two names are one key of the store (its names ignore case).
bool SameKey(const std::string& a, const std::string& b) {
    return platform::FoldStoreName(a) == platform::FoldStoreName(b);
}

}  // namespace

TNewsRegistryManager::TNewsRegistryManager(HANDLE owner, const std::string& pluginRoot,
                                           const std::string& privateRoot)
    : TRegistryManager(owner, pluginRoot, privateRoot) {
    if (Options.ShowPrivateHosts == 0 && Store != kPluginStore) {
        Store = kPluginStore;
        Path = "\\";
    }
}

bool TNewsRegistryManager::ReadItem(const std::string& folder, const std::string& name,
                                    TItemRecord& item) {
    item = std::make_unique<TAccountOptions>();
    TRegIniFile view(GetKeyPath(folder));
    ReadAccountValues(
        [&](const char* ident, const std::string& fallback) {
            return view.ReadString(name, ident, fallback);
        },
        TBlankTable::OnlyEmptyIsDefault, *item);
    item->Description = name;
    return true;
}

bool TNewsRegistryManager::StoreAccount(const std::string& folder, const std::string& oldName,
                                        const TAccountOptions& account,
                                        const FILETIME* createTime) {
    const std::string name = AccountKeyName(account);
    if (name.empty() || !InStore()) return false;
    ForceFolder(folder);
    TRegIniFile view(GetKeyPath(folder));
    // Renaming an account onto its own key (the same name, or one differing only in case)
    // replaces it without a question and must not delete it afterwards.
    const bool ownKey = !oldName.empty() && SameKey(name, oldName);
    if (!ownKey && view.KeyExists(name) &&
        Notify(kEventConfirm, reinterpret_cast<intptr_t>(name.c_str()),
               reinterpret_cast<intptr_t>(GetMsg(kMsgEmpty))) != 1)
        return false;

    const FILETIME now = platform::NowFileTime();
    // One transaction: no earlier value survives, and a failure leaves the old account whole.
    platform::StoreBatch batch;
    view.EraseSection(name);
    WriteAccountValues(
        [&](const char* ident, const std::string& value) { view.WriteString(name, ident, value); },
        account, kStoredUrlFlags, false);
    view.WriteTime(name, kCreateTime, createTime ? *createTime : now);
    view.WriteTime(name, kModifyTime, now);
    if (!oldName.empty() && !ownKey) view.EraseSection(oldName);
    if (batch.Active() && !batch.Commit())
        RaiseRegistryError("Failed to set data for '" + name + "'");
    return true;
}

bool TNewsRegistryManager::WriteItem(const std::string& folder, const std::string& oldName,
                                     const TAccountOptions& item) {
    return StoreAccount(folder, oldName, item, nullptr);
}

bool TNewsRegistryManager::UpdateItem(const std::string& oldName, const TAccountOptions& item) {
    // The key name is derived exactly as WriteItem derives it (extra part included), so the
    // kept creation time always lands on the account's own key.
    if (AccountUrl(item, kUrlUserName | kUrlNoScheme).empty()) return false;
    FILETIME created = platform::NowFileTime();
    if (!oldName.empty() && InStore() && PathExists("")) {
        TRegIniFile view(GetKeyPath(""));
        created = view.ReadTime(oldName, kCreateTime, created);
    }
    StoreAccount("", oldName, item, &created);
    return true;
}

void TNewsRegistryManager::FreeItem(TItemRecord& item) {
    item.reset();
}

bool TNewsRegistryManager::CanLeaveStore() {
    return Options.ShowPrivateHosts == 1;
}

void TNewsRegistryManager::FillItem(TRegIniFile& view, const std::string& name,
                                    PluginPanelItem& item) {
    const std::string url = view.ReadString(name, "Url", "");
    if (!url.empty()) item.Description = NewItemText(url);
}

void TNewsRegistryManager::NewItem(TItemRecord& item) {
    item = std::make_unique<TAccountOptions>();
    const TAccountOptions& defaults = Options.Default;
    item->FromName = defaults.FromName;
    item->FromAddr = defaults.FromAddr;
    item->ReplyTo = defaults.ReplyTo;
    item->Organization = defaults.Organization;
    item->CharTable = defaults.CharTable;
    item->UseProxy = defaults.UseProxy;
    item->AskPassword = defaults.AskPassword;
}

bool TNewsRegistryManager::ProcessKey(int key, unsigned controlState, TKeyContext& context,
                                      int& action) {
    const bool handled = TRegistryManager::ProcessKey(key, controlState, context, action);
    if (action != kActionOpenItem && action != kActionEditItem && action != kActionNewItem &&
        action != kActionCopyItem)
        return handled;
    const std::string name = context.Info.PanelItems[context.Info.CurrentItem].FindData.cFileName;
    if (action == kActionOpenItem) {
        ReadItem("", name, context.Item);
        return handled;
    }
    return EditItem(name, context, action);
}

bool TNewsRegistryManager::EditItem(const std::string& name, TKeyContext& context, int& action) {
    TItemRecord& item = context.Item;
    try {
        if (action == kActionNewItem)
            NewItem(item);
        else
            ReadItem("", name, item);
        const int answer = EditAccount(*item);
        if (answer == kAccountConnect) {
            action = kActionOpenItem;  // the panel opens the unsaved record
            return false;
        }
        if (answer == kAccountSave) {
            // A copy (Shift+F5) is saved beside its original under the name the dialog gave.
            if (action == kActionEditItem)
                UpdateItem(name, *item);
            else
                WriteItem("", "", *item);
            context.Flags |= kKeyRedrawPanel | kKeyUpdatePanel;
        }
    } catch (...) {
        FreeItem(item);
        throw;
    }
    FreeItem(item);
    return true;
}

void TNewsRegistryManager::FillPluginInfo(OpenPluginInfo& info, std::string& shortcutData) {
    TRegistryManager::FillPluginInfo(info, shortcutData);
    BuildShortcut(shortcutData);

    for (InfoPanelLine& line : InfoLines) line = InfoPanelLine{};
    int count = 0;
    for (; count < kInfoLineCount && count < ProductInfo.Count(); ++count) {
        const std::string& text = ProductInfo[count];
        if (text == "-")
            InfoLines[count].Separator = 1;
        else
            CopyItemText(InfoLines[count].Text, text, kInfoTextLimit);
    }
    InfoLines[0].Separator = 1;  // the first line is the heading
    info.InfoLines = InfoLines;
    info.InfoLinesNumber = count;

    info.PanelModesArray = &kAccountsMode;
    info.PanelModesNumber = 1;
}

void TNewsRegistryManager::GetItemUrl(const PluginPanelItem& item, bool withPassword,
                                      std::string& text) {
    const std::string name = item.FindData.cFileName;
    if ((item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        text = Path == "\\" ? Path + name : Path + "\\" + name;
        return;
    }
    TItemRecord account;
    TItemRelease release(*this, account);
    ReadItem("", name, account);
    const unsigned flags = kUrlExtraInfo | kUrlUserName | (withPassword ? kUrlPassword : 0);
    text = AccountUrl(*account, flags);
}

void TNewsRegistryManager::GetTitle(std::string& text) const {
    text = Store == kPrivateStore ? "*Kestrova" : "Kestrova";
}

void TNewsRegistryManager::BuildShortcut(std::string& text) const {
    // The head of a registry-mode shortcut: mode 0, the store, then the empty fields that an
    // internet-mode head fills with the account's options.
    const std::string head =
        FormatText("%1d%1d%1d%3d%s%3d%s%3d%s%3d%s%s", {0, Store, 0, 0, "", 0, ""});
    text = FormatText("%3D%s%s", {static_cast<int>(head.size()), head, Path});
}

}  // namespace kestrova
