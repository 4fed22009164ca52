#include "ui/server_port.h"

#include "common/errors.h"
#include "common/format_text.h"
#include "common/url.h"
#include "common/visible_text.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {
namespace {

// A port longer than this is shown cut, ending in "...".
constexpr size_t kShownPortLength = 32;

}  // namespace

std::string BadPortMessage(std::string_view address) {
    std::string port = InvalidUrlPort(address, kUrlNoScheme);
    if (port.empty()) return {};
    if (port.size() > kShownPortLength) port = port.substr(0, kShownPortLength) + "...";
    return FormatText(GetMsg(kMsgBadPort), {VisibleText(port)});
}

void RefuseBadPort(std::string_view address, const char* procName) {
    const std::string message = BadPortMessage(address);
    if (!message.empty()) throw EInternetError(kRefused, message, procName);
}

}  // namespace kestrova
