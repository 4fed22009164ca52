// ReportError: a failure that reached a panel entry point becomes one warning box, or the
// action its signal asks for.
#include <string>
#include <vector>

#include "common/format_text.h"
#include "hostapi/plugin_api.h"
#include "plugin/error_text.h"
#include "plugin/failure_description.h"
#include "plugin/nntp_plugin.h"
#include "ui/console_keys.h"
#include "ui/host_services.h"
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {
std::vector<std::string> ErrorLines(const std::string& message) {
    std::vector<std::string> lines;
    const size_t split = message.find(". ");
    if (split == std::string::npos) {
        lines.push_back(message);
    } else {
        lines.push_back(message.substr(0, split + 1));
        lines.push_back(message.substr(split + 2));
    }
    if (lines.front().empty()) lines.front() = kEmptyErrorText;
    return lines;
}

namespace {

// The warning box of a failure with its message; nothing without the host's message service.
void ShowFailureBox(const FailureDescription& d, const char* procName) {
    if (!StartupInfo.Message) return;
    // An error without a procedure of its own is named by the operation.
    const bool ownProc = d.Kind != FailureKind::Other && !d.ProcName.empty();
    const std::string proc = ownProc ? d.ProcName : std::string(procName);
    std::vector<std::string> lines = ErrorLines(d.Message);
    lines.insert(lines.begin(), FormatText(GetMsg(kMsgErrorTitle), {d.ClassName, proc}));
    ShowMessage(FMSG_WARNING, lines, {kMsgOk});
}

}  // namespace

void ShowFailure(std::exception_ptr failure, const char* procName) {
    try {
        const FailureDescription d = DescribeFailure(failure);
        if (d.Kind != FailureKind::SilentAbort) ShowFailureBox(d, procName);
    } catch (...) {
        // Reporting must never replace the failure being reported.
    }
}

int TNntpPlugin::ReportError(std::exception_ptr failure, const char* procName, int opMode) {
    const FailureDescription d = DescribeFailure(failure);
    const int result = opMode == 0 && d.Kind != FailureKind::SilentAbort ? 1 : 0;
    try {
        FlushInput();
        switch (d.Kind) {
            case FailureKind::SilentAbort:
                break;
            case FailureKind::PluginLeave:
                if (StartupInfo.Control)
                    StartupInfo.Control(Handle(), FCTL_CLOSEPLUGIN,
                                        const_cast<char*>(GetMsg(kMsgEmpty)));
                break;
            case FailureKind::InternetLeave:
                CloseAccount();
                break;
            default:
                ShowFailureBox(d, procName);
        }
    } catch (...) {
        // Reporting must never replace the failure being reported.
    }
    return result;
}

}  // namespace kestrova
