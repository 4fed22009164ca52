// The frame around every panel operation: its flags, the screen it saves and restores, and the
// beep after a long operation.
#include "news/news_internet_manager.h"
#include "platform/clock.h"
#include "platform/console_title.h"
#include "plugin/nntp_plugin.h"
#include "ui/host_services.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

// An operation longer than this beeps at its end when the option asks for it.
constexpr uint64_t kLongOperationMillis = 10000;

}  // namespace

void TNntpPlugin::RestoreSavedScreen() {
    if (!SavedScreen) return;
    if (StartupInfo.RestoreScreen) StartupInfo.RestoreScreen(SavedScreen);
    SavedScreen = nullptr;
}

void TNntpPlugin::SaveWholeScreen() {
    RestoreSavedScreen();
    if (StartupInfo.SaveScreen) SavedScreen = StartupInfo.SaveScreen(0, 0, -1, -1);
}

unsigned TNntpPlugin::BeginOperation(int request, int opMode) {
    const unsigned previous = OpFlags;
    OpStart = platform::MonotonicMillis();
    OpFlags = kOpRunning;
    if (opMode == 0 || (opMode & (OPM_VIEW | OPM_EDIT)) != 0) {
        OpFlags |= kOpInteractive;
        if (request == kRequestGetFiles || request == kRequestPutFiles) OpFlags |= kOpPercent;
        if (request == kRequestList) OpFlags |= kOpCounting;
    }
    const bool showsProgress = (OpFlags & (kOpPercent | kOpCounting)) != 0;
    if (showsProgress) {
        Total = 0;
        Received = 0;
        StatusText.clear();
        StatusExtra.clear();
    }
    if ((opMode & OPM_FIND) == 0) SaveWholeScreen();
    if (showsProgress) LastTraffic = 0;
    if (InInternetMode()) InternetManager->StartAction(request);
    return previous;
}

void TNntpPlugin::EndOperation(int request, unsigned previous) noexcept {
    if (InInternetMode()) {
        try {
            InternetManager->StopAction(request);
        } catch (...) {
            // The operation is over either way.
        }
    }
    try {
        RestoreSavedScreen();
        if ((OpFlags & kOpInteractive) != 0 && Options.SoundAlert != 0 &&
            platform::MonotonicMillis() - OpStart > kLongOperationMillis)
            platform::Beep();
    } catch (...) {
        // Ending an operation never fails: it also runs while a failure leaves it.
    }
    OpFlags = previous;
}

}  // namespace kestrova
