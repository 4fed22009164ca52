#include "platform/terminal_output.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace kestrova::platform {

namespace {

int terminalFd = -1;

constexpr int kWaitForRoomMillis = 1000;

}  // namespace

void SetTerminalOutput(int fd) {
    terminalFd = fd;
}

int TerminalOutputFd() {
    return terminalFd;
}

bool WriteToTerminal(std::string_view bytes) {
    if (terminalFd < 0) return false;
    while (!bytes.empty()) {
        const ssize_t written = write(terminalFd, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd room{terminalFd, POLLOUT, 0};
            if (poll(&room, 1, kWaitForRoomMillis) > 0) continue;
        }
        return false;
    }
    return true;
}

}  // namespace kestrova::platform
