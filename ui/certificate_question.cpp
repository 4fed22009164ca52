#include "ui/certificate_question.h"

#include <vector>

#include "common/format_text.h"
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {
namespace {

// A SHA-256 fingerprint is 95 characters: shown on two lines of 16 bytes each.
constexpr size_t kFingerprintLine = 16 * 3;

}  // namespace

bool AskTrustCertificate(const std::string& host, const std::string& reason,
                         const std::string& fingerprint) {
    std::vector<std::string> lines = {GetMsg(kMsgUntrustedTitle),
                                      FormatText(GetMsg(kMsgNotTrusted), {host}), reason,
                                      GetMsg(kMsgFingerprint)};
    for (size_t start = 0; start < fingerprint.size(); start += kFingerprintLine) {
        lines.push_back(fingerprint.substr(start, kFingerprintLine - 1));
    }
    lines.push_back(GetMsg(kMsgTrustQuestion));
    return ShowMessage(FMSG_WARNING, lines, {kMsgTrust, kMsgCancel}) == 0;
}

}  // namespace kestrova
