// Reader mode and capabilities: what a server offers is asked after the greeting, after STARTTLS
// and after a login; a server that hands readers over only after MODE READER (a transit server)
// gets it, when it says so in its list or in a 401 reply.
#include "common/format_text.h"
#include "news/nntp_connection.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {

namespace {

// No server lists more capabilities than this; a longer list is a server out of step.
constexpr int kMaxCapabilityLines = 1000;

}  // namespace

void TNntpConnection::StartReading() {
    AskCapabilities();
    const bool startTls = account_.Secure == kTlsByStartTls;
    if (startTls && capabilities_.StartTls) NegotiateTls();
    if (capabilities_.ModeReader && !capabilities_.Reader && !readerModeSent_) EnterReaderMode();
    // A server that hands readers over may offer STARTTLS only to the reader.
    if (startTls && !startTlsSent_ && capabilities_.StartTls) NegotiateTls();
    if (startTls && !startTlsSent_) ReadInClear(GetMsg(kMsgNoStartTls));
}

void TNntpConnection::AskCapabilities() {
    capabilities_ = TCapabilities{};
    // The last line stays the greeting, which status boxes show, not the answer to a probe.
    const std::string greeting = lastLine_;
    const TNntpStatus status =
        Command("CAPABILITIES", kLogCommand, kKeepReply | kLoginOnlyWithCredentials);
    if (ReplyClosesConnection(status.Code)) Check(status, "Capabilities");
    if (status.Code != kReplyCapabilityList) {
        lastLine_ = greeting;
        return;
    }
    TCapabilities listed;
    listed.Listed = true;
    std::string line;
    for (int count = 0;; ++count) {
        const DataLine kind = ReadDataLine(line);
        if (kind == DataLine::End) break;
        if (kind == DataLine::Lost) RaiseConnectionLost("Capabilities");
        if (count == kMaxCapabilityLines) {
            RaiseAndClose(FormatText("More than %d capabilities", {kMaxCapabilityLines}),
                          "Capabilities");
        }
        ApplyCapabilityLine(line, listed);
    }
    capabilities_ = listed;
    lastLine_ = greeting;
}

void TNntpConnection::EnterReaderMode() {
    readerModeSent_ = true;
    const TNntpStatus status = Command("MODE READER", kLogCommand);
    postingAllowed_ = status.Code == kReplyPostingAllowed;
    if (capabilities_.Listed) AskCapabilities();
}

TNntpStatus TNntpConnection::ReplayInReaderMode(TNntpStatus status,
                                                const std::function<TNntpStatus()>& resend) {
    if (status.Code != kReplyWrongMode || readerModeSent_ || !NamesModeReader(status.Line)) {
        return status;
    }
    EnterReaderMode();
    return resend();
}

}  // namespace kestrova
