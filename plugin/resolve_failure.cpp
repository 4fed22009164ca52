// ResolveFailure: the retry, skip and stop rules for a failure inside ReceiveData, keyed on the
// code bits of the module's errors, and the failure's lines in the connection log.
#include <vector>

#include "common/errors.h"
#include "common/format_text.h"
#include "news/news_internet_manager.h"
#include "plugin/failure_description.h"
#include "plugin/nntp_plugin.h"
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

// The answer for the button chosen among answers; Esc and anything past the first buttons
// stop.
int Ask(const std::string& text, const std::vector<int>& answers) {
    const int chosen = ShowMessage(FMSG_WARNING, {GetMsg(kMsgInterrupted), text}, answers);
    if (chosen >= 0 && chosen + 1 < static_cast<int>(answers.size())) return answers[chosen];
    return kAnswerStop;
}

}  // namespace

int TNntpPlugin::ResolveFailure(std::exception_ptr failure, int request, intptr_t param,
                                void* target, TRetryState& retry) {
    const FailureDescription d = DescribeFailure(failure);
    if (InInternetMode()) {
        TNewsInternetManager& manager = *InternetManager;
        manager.WriteLog(0, FormatText("%s: %s", {d.ClassName, d.Message}));
        manager.WriteLog(2,
                         FormatText("dwMessage: %8x wParam: %8x lParam: %8x",
                                    {request, static_cast<long long>(param),
                                     static_cast<long long>(reinterpret_cast<intptr_t>(target))}));
        if (d.Kind == FailureKind::Custom || d.Kind == FailureKind::UserAbort)
            manager.WriteLog(2, FormatText("Code: %8x Proc: %s", {d.Code, d.ProcName}));
        // Unless the server itself answered, the line is suspect: the next request reconnects.
        if (!d.ProtocolAnswer && manager.Connection().HasSocket()) manager.Connection().Close();
    }
    if (d.Kind == FailureKind::UserAbort) {
        if ((OpFlags & kOpInteractive) == 0) return kAnswerStop;
        return Ask(GetMsg(kMsgEscPressed), {kAnswerRetry, kAnswerStop});
    }
    if (d.Kind != FailureKind::Custom) return kAnswerPassOn;
    if (const int offline = OfferOffline(d.ClassName, d.Message, request); offline != 0)
        return offline;
    if ((d.Code & kRetryAtOnce) != 0) return kAnswerRetry;
    if ((d.Code & kItemFailure) != 0) return Ask(d.Message, {kAnswerSkip, kAnswerStop});
    if ((d.Code & kTransient) != 0) {
        const int retryCount = Options.Connect.RetryCount;
        if (retryCount <= 0 || --retry.Left > 0) return PaceRetry(d.Message, retry);
        retry.Left = retryCount;
        retry.DelaySeconds = kFirstRetryDelaySeconds;  // the user chose: no wait after asking
        if ((request & kNetworkRequest) != 0)
            return Ask(d.Message, {kAnswerRetry, kAnswerSkip, kAnswerStop});
        return Ask(d.Message, {kAnswerRetry, kAnswerStop});
    }
    return kAnswerPassOn;
}

}  // namespace kestrova
