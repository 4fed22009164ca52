// The pause before a transient failure is tried again without asking: a failing server or a
// refused connection is not hammered, and the user sees what failed and can stop with Esc.
#include <algorithm>

#include "common/format_text.h"
#include "plugin/nntp_plugin.h"
#include "ui/esc_wait.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {

int TNntpPlugin::PaceRetry(const std::string& failure, TRetryState& retry) {
    const int seconds = retry.DelaySeconds;
    retry.DelaySeconds = std::min(seconds * 2, kMaxRetryDelaySeconds);
    ShowStatus(kOpInteractive, failure, {}, FormatText(GetMsg(kMsgNextAttempt), {seconds}));
    return WaitUnlessEsc(static_cast<uint64_t>(seconds) * 1000) ? kAnswerRetry : kAnswerPassOn;
}

}  // namespace kestrova
