#include "platform/socket_events.h"

#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/clock.h"
#include "platform/console_input.h"
#include "platform/winsock_errors.h"

namespace kestrova::platform {

namespace {

int PendingSocketError(int fd) {
    int err = 0;
    socklen_t len = sizeof err;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
    return err == 0 ? 0 : WinsockErrorFromErrno(err);
}

int BytesWaiting(int fd) {
    int count = 0;
    return ioctl(fd, FIONREAD, &count) == 0 ? count : -1;
}

}  // namespace

void SocketEventSource::Select(int fd, unsigned events) {
    fd_ = events != 0 ? fd : -1;
    selected_ = fd_ >= 0 ? events : 0;
    armed_ = selected_;
    std::erase_if(queue_,
                  [](const SocketNotice& n) { return n.kind == SocketNotice::Kind::Socket; });
}

void SocketEventSource::DropTicks() {
    std::erase_if(queue_, [](const SocketNotice& n) { return n.kind == SocketNotice::Kind::Tick; });
}

void SocketEventSource::StartTimer() {
    DropTicks();
    timerRunning_ = true;
    nextTick_ = MonotonicMillis() + kTickMillis;
}

void SocketEventSource::Push(SocketNotice::Kind kind, unsigned event, int error) {
    queue_.push_back({kind, event, error});
}

SocketNotice SocketEventSource::Next() {
    while (queue_.empty()) PollOnce();
    SocketNotice notice = queue_.front();
    queue_.pop_front();
    return notice;
}

void SocketEventSource::PollOnce() {
    if (lookup_.TakeDone()) {
        Push(SocketNotice::Kind::LookupDone, kEventResolved, lookup_.Error());
        return;
    }
    // A due tick still polls once without waiting, so that a slow owner (every tick late)
    // cannot starve the socket.
    bool tickDue = false;
    int timeout = -1;
    if (timerRunning_) {
        const uint64_t now = MonotonicMillis();
        tickDue = now >= nextTick_;
        if (tickDue) {
            // Ticks do not pile up: a late tick is one tick, and the next is a period away.
            nextTick_ = std::max(nextTick_ + kTickMillis, now + 1);
            consoleArmed_ = true;
            timeout = 0;
        } else {
            timeout = static_cast<int>(nextTick_ - now);
        }
    }

    std::vector<pollfd> fds;
    short socketEvents = 0;
    if (armed_ & (kEventRead | kEventAccept)) socketEvents |= POLLIN;
    if (armed_ & kEventClose) socketEvents |= POLLIN | POLLRDHUP;
    if (armed_ & (kEventWrite | kEventConnect)) socketEvents |= POLLOUT;
    const bool watchSocket = fd_ >= 0 && socketEvents != 0;
    if (watchSocket) fds.push_back({fd_, socketEvents, 0});
    const int consoleFd = consoleArmed_ ? ConsoleInputFd() : -1;
    if (consoleFd >= 0) fds.push_back({consoleFd, POLLIN, 0});
    const size_t lookupFirst = fds.size();
    const int lookupTimeout = lookup_.AddPollFds(fds);
    if (lookupTimeout >= 0)
        timeout = timeout < 0 ? lookupTimeout : std::min(timeout, lookupTimeout);

    if (poll(fds.data(), fds.size(), timeout) < 0) {
        if (tickDue) Push(SocketNotice::Kind::Tick, 0, 0);
        return;  // interrupted: look again
    }

    size_t index = 0;
    if (watchSocket) CheckSocket(fds[index++].revents);
    if (consoleFd >= 0 && fds[index++].revents != 0) {
        consoleArmed_ = false;
        Push(SocketNotice::Kind::ConsoleInput, 0, 0);
    }
    if (lookup_.Pending()) lookup_.Process(fds, lookupFirst, fds.size() - lookupFirst);
    if (tickDue) Push(SocketNotice::Kind::Tick, 0, 0);
}

void SocketEventSource::CheckSocket(short revents) {
    if (revents == 0) return;
    const auto report = [this](unsigned event, int error) {
        armed_ &= ~event;
        Push(SocketNotice::Kind::Socket, event, error);
    };
    if (armed_ & kEventConnect) {
        // Both success and failure of a connect show as writable (failure also as error).
        if (revents & (POLLOUT | POLLERR | POLLHUP)) report(kEventConnect, PendingSocketError(fd_));
        return;
    }
    if (armed_ & kEventAccept) {
        if (revents & (POLLIN | POLLERR | POLLHUP)) report(kEventAccept, 0);
        return;
    }
    if (revents & POLLERR) {
        // A reset: data that arrived before it is still delivered first, then the error; nothing
        // more will come from this socket after that.
        if ((armed_ & kEventRead) && BytesWaiting(fd_) > 0) {
            report(kEventRead, 0);
            return;
        }
        const int error = PendingSocketError(fd_);
        armed_ = 0;
        Push(SocketNotice::Kind::Socket, kEventClose, error);
        return;
    }
    // Only a hang-up needs the byte count to tell the last data from the end of it.
    const bool hangUp = (revents & (POLLRDHUP | POLLHUP)) != 0;
    const int waiting = !(revents & POLLIN) ? 0 : hangUp ? BytesWaiting(fd_) : 1;
    if ((armed_ & kEventRead) && waiting > 0) report(kEventRead, 0);
    if ((armed_ & kEventWrite) && (revents & POLLOUT)) report(kEventWrite, 0);
    const bool peerClosed =
        (revents & (POLLRDHUP | POLLHUP)) || ((revents & POLLIN) && waiting == 0);
    if (peerClosed) {
        // No data can follow a close; what is still buffered shows through the byte count.
        if (armed_ & kEventClose) report(kEventClose, 0);
        armed_ &= ~(kEventRead | kEventClose);
    }
    if (revents & POLLHUP) armed_ = 0;  // both directions are down: nothing more to report
}

}  // namespace kestrova::platform
