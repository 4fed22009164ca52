#include "plugin/nntp_plugin.h"

#include "accounts/account_values.h"
#include "accounts/news_registry_manager.h"
#include "common/errors.h"
#include "net/certificate_check.h"
#include "news/news_internet_manager.h"
#include "news/news_proxy_manager.h"
#include "plugin/operation_scope.h"
#include "ui/certificate_question.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/module_state.h"
#include "ui/standard_dialogs.h"

namespace kestrova {

TNntpPlugin::TNntpPlugin() {
    RegistryManager = std::make_unique<TNewsRegistryManager>(Handle(), OptionsKey, PrivateRoot);
    RegistryManager->OnNotify = [this](int kind, intptr_t param1, intptr_t param2) {
        return HandleEvent(kind, param1, param2);
    };
    AppliedMode = PluginMode::None;
    Mode = PluginMode::Registry;
    SavedViewMode = -1;
    UpdateTitle();
    // The separator line of the progress box never changes.
    ProgressLines[2].clear();
    for (int cell = 0; cell < kProgressWidth; ++cell) ProgressLines[2] += "─";
}

TNntpPlugin::~TNntpPlugin() {
    try {
        CloseAccount();
        Mode = PluginMode::Closing;
        RestoreViewMode(PluginMode::None);
        RegistryManager.reset();
    } catch (...) {
        // Closing must not fail towards the host.
    }
}

void TNntpPlugin::UpdateTitle() {
    if (InInternetMode()) {
        PanelHost = InternetManager->Account().Url.HostName;
        CurDir = InternetManager->GetPath();
    } else {
        PanelHost = RegistryManager->Store == kPrivateStore ? "Kestrova*" : "Kestrova";
        CurDir = RegistryManager->Path;
    }
    PanelTitle = PanelHost + ":" + CurDir;
    if (!InInternetMode()) return;
    if (const std::string note = InternetManager->TitleNote(); !note.empty())
        PanelTitle += " (" + note + ")";
    if (InternetManager->Offline()) PanelTitle += std::string(" (") + GetMsg(kMsgOffline) + ")";
}

void TNntpPlugin::CloseAccount() {
    if (Mode != PluginMode::Internet) return;
    try {
        InternetManager.reset();
    } catch (...) {
        // A connection that fails to close is gone all the same.
    }
    InternetManager = nullptr;
    Mode = PluginMode::Registry;
    UpdateTitle();
}

void TNntpPlugin::ConnectTrusting(TAccountOptions& account, bool stored) {
    TOperationScope operation(*this, kRequestConnect, 0);
    try {
        ReceiveData(kRequestConnect, reinterpret_cast<intptr_t>(&account), nullptr);
        return;
    } catch (const ECertificateError& refused) {
        // A changed certificate is never offered: only one that failed verification.
        if ((refused.Code & 0xFFFF) != kCertificateUntrusted || (OpFlags & kOpInteractive) == 0 ||
            !AskTrustCertificate(account.Url.HostName, refused.Reason, refused.Fingerprint)) {
            throw;
        }
        account.TrustedCertificate = refused.Fingerprint;
    }
    if (stored) RegistryManager->UpdateItem(AccountKeyName(account), account);
    ReceiveData(kRequestConnect, reinterpret_cast<intptr_t>(&account), nullptr);
}

void TNntpPlugin::OpenAccount(TAccountOptions* account, bool stored) {
    CloseAccount();
    if (!account) return;
    if (account->UseProxy)
        InternetManager = std::make_unique<TNewsProxyManager>(Handle());
    else
        InternetManager = std::make_unique<TNewsInternetManager>(Handle());
    Mode = PluginMode::Internet;
    try {
        if (account->AskPassword &&
            LoginDialog(account->Url.HostName, nullptr, account->Url.UserName,
                        account->Url.Password) != kAccepted)
            throw EAbort();
        InternetManager->OnEvent = [this](int kind, intptr_t param1, intptr_t param2) {
            return HandleEvent(kind, param1, param2);
        };
        ConnectTrusting(*account, stored);
        // The panel title names the server from the first listing on.
        UpdateTitle();
    } catch (...) {
        CloseAccount();
        throw;
    }
    OpenUrlTarget(NewsUrlTarget(account->Url.UrlPath));
}

}  // namespace kestrova
