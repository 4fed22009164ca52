// The ways of opening the panel straight into an account: a folder shortcut, a "news:" command
// line, an account file on the local panel, and the menus with NNTPSERVER set.
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "common/errors.h"
#include "common/news_url.h"
#include "common/text_utils.h"
#include "common/url.h"
#include "platform/filesystem.h"
#include "plugin/nntp_plugin.h"
#include "plugin/shortcut_data.h"
#include "store/registry.h"
#include "ui/char_tables.h"
#include "ui/file_helpers.h"
#include "ui/module_state.h"
#include "ui/plugin_options.h"
#include "ui/server_port.h"

namespace kestrova {
namespace {

constexpr std::string_view kAccountFileSignature = "[Kestrova]";

// Runs an opening; a failure is reported under procName and passed on.
template <typename Work>
void Opening(TNntpPlugin& panel, const char* procName, Work work) {
    try {
        work();
    } catch (...) {
        panel.ReportError(std::current_exception(), procName, 0);
        throw;
    }
}

}  // namespace

bool HasAccountFileSignature(const unsigned char* data, int dataSize) {
    const int length = static_cast<int>(kAccountFileSignature.size());
    if (!data || dataSize < length) return false;
    const std::string_view head(reinterpret_cast<const char*>(data), length);
    return CompareTextOemN(head, kAccountFileSignature, length) == 0;
}

void TNntpPlugin::OpenShortcut(const std::string& data) {
    Opening(*this, "OpenShortcut", [&] {
        TShortcut shortcut;
        if (!ParseShortcut(data, shortcut)) throw EAbort();
        if (!shortcut.Internet) {
            RegistryManager->SetDirectory(shortcut.Tail);
            UpdateTitle();
            return;
        }
        TAccountOptions account = shortcut.Account;
        account.CharTable = IsBlank(shortcut.CharTableName) ? Options.Default.CharTable
                                                            : SlotIndex(shortcut.CharTableName);
        OpenAccount(&account);
        AppliedMode = PluginMode::None;
    });
}

void TNntpPlugin::OpenFromMenu() {
    constexpr size_t kLongestServer = 255;
    const char* server = std::getenv("NNTPSERVER");
    if (!server || !*server || std::strlen(server) > kLongestServer) return;
    for (const char* c = server; *c; ++c)
        if (static_cast<unsigned char>(*c) <= ' ' || *c == 0x7F || *c == '/') return;
    TRegistry store;
    TRegKeyInfo accounts;
    for (const std::string& root : {RegistryManager->PluginRoot, PrivateRoot}) {
        if (store.OpenKey(root + "HOSTS", false) && store.GetKeyInfo(accounts) &&
            accounts.NumSubKeys > 0)
            return;
        store.CloseKey();
    }
    OpenCommandLine(std::string("news://") + server);
}

void TNntpPlugin::OpenCommandLine(const std::string& text) {
    Opening(*this, "OpenCommandLine", [&] {
        // The host hands over the whole line ("news://server", "nntps://server") or, from
        // other callers, what follows "news:"; a bare prefix opens no server.
        std::string server, path;
        SplitNewsUrl(text, server, path);
        if (server.empty() && path.empty()) return;
        TAccountOptions account = Options.Default;
        // news:<message-id> and news:group name no server: the default account's is used.
        if (!server.empty()) {
            RefuseBadPort(server, "OpenCommandLine");
            ParseUrl(server, kUrlNoScheme, account.Url);
        }
        account.Url.UrlPath = path;
        if (account.Url.HostName.empty()) return;
        OpenAccount(&account);
        AppliedMode = PluginMode::None;
    });
}

void TNntpPlugin::OpenFilePlugin(const std::string& name, const unsigned char* data, int dataSize) {
    Opening(*this, "OpenFilePlugin", [&] {
        if (!HasAccountFileSignature(data, dataSize)) throw EAbort();
        // The host names the file by its path; the account-file reader takes folder and name.
        std::string dir, file;
        SplitPath(name, platform::kPathDelim, dir, file);
        TItemRecord account;
        TItemRelease release(*RegistryManager, account);
        if (RegistryManager->LoadFromFile(dir, file, account)) {
            OpenAccount(account.get());
            AppliedMode = PluginMode::None;
        }
    });
}

}  // namespace kestrova
