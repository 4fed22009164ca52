#include "net/win_socket.h"

#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>
#include <utility>

#include "common/errors.h"
#include "common/streams.h"
#include "net/certificate_check.h"
#include "net/deflate_stream.h"
#include "net/socket_error_text.h"
#include "net/tls_session.h"
#include "platform/winsock_errors.h"

namespace kestrova {

namespace {

using platform::kWsaConnReset;
using platform::kWsaNotConnected;
using platform::kWsaWouldBlock;
using platform::WinsockErrorFromErrno;

constexpr int kMaxIdleSends = 101;
constexpr uint32_t kSocketNotSupported = 10044;

int LastOsError() {
    return WinsockErrorFromErrno(errno);
}

void SetOption(int fd, int level, int option) {
    const int on = 1;
    setsockopt(fd, level, option, &on, sizeof on);
}

unsigned ConnectedEvents() {
    return platform::kEventRead | platform::kEventWrite | platform::kEventClose;
}

// Appends text up to and including its first CR LF, or text and CR LF, to out.
void AppendLine(std::string& out, std::string_view text) {
    const size_t end = text.find("\r\n");
    if (end == std::string_view::npos) {
        out.append(text).append("\r\n");
    } else {
        out.append(text.substr(0, end + 2));
    }
}

}  // namespace

TWinSocket::WaitScope::WaitScope(TWinSocket& socket) : socket_(socket) {
    socket_.AcquireWindow();
    socket_.StartTimer();
}

TWinSocket::WaitScope::~WaitScope() {
    socket_.StopTimer();
    socket_.ReleaseWindow();
}

TWinSocket::TWinSocket(int timeout, int bufferSize)
    : Timeout(timeout),
      Buffer(static_cast<size_t>(std::max(bufferSize, 0))),
      BufferSize(std::max(bufferSize, 0)) {
    SetState(SocketState::Idle);
}

TWinSocket::~TWinSocket() {
    OnState = nullptr;  // the owner may be going away too
    TWinSocket::SocketClose();
    Window.reset();
    WindowRefs = 0;
    SetState(SocketState::NotStarted);
}

const char* SocketStateName(SocketState state) {
    switch (state) {
        case SocketState::NotStarted:
            return "not started";
        case SocketState::Idle:
            return "idle";
        case SocketState::Created:
            return "created";
        case SocketState::Connected:
            return "connected";
        case SocketState::Listening:
            return "listening";
        case SocketState::Accepted:
            return "accepted";
    }
    return "?";
}

void TWinSocket::SetState(SocketState state) {
    if (state == state_) return;
    const SocketState from = state_;
    state_ = state;
    if (OnState) OnState(*this, from, state);
}

void TWinSocket::AcquireWindow() {
    if (WindowRefs++ > 0) return;
    Window = std::make_unique<platform::SocketEventSource>();
    Events = 0;
    SelectForState();
}

void TWinSocket::ReleaseWindow() {
    if (WindowRefs == 0) return;
    if (--WindowRefs == 0) Window.reset();
}

void TWinSocket::SelectForState() {
    if (!Window) return;
    if (state_ == SocketState::Connected || state_ == SocketState::Accepted) {
        Window->Select(Handle, ConnectedEvents());
    } else if (state_ == SocketState::Listening) {
        Window->Select(Handle, platform::kEventAccept);
    } else {
        Window->Select(-1, 0);
    }
}

void TWinSocket::StartTimer() {
    LastError = 0;
    Countdown = 4 * Timeout;
    if (Window) Window->StartTimer();
}

void TWinSocket::StopTimer() {
    if (Window) Window->StopTimer();
}

void TWinSocket::CallOnWait(SocketEventKind event) {
    if (!OnWait || InWait) return;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{InWait};
    InWait = true;
    OnWait(*this, static_cast<int>(event), Countdown);
}

void TWinSocket::GetSockAddress(const std::string& host, uint16_t port) {
    HostName = host;
    Addresses.clear();
    if (platform::ParseAddressLiteral(host, port, Address)) {  // needs no look-up
        Addresses.push_back(Address);
        return;
    }
    WaitScope scope(*this);
    platform::HostLookup& lookup = Window->Lookup();
    if (!lookup.Start(host)) {
        SocketError(static_cast<uint32_t>(lookup.Error()), "GetSockAddress");
        return;
    }
    if (SocketWait(SocketEventKind::Resolved) != 0) return;
    Addresses = lookup.Addresses();
    for (platform::SocketAddress& address : Addresses) platform::SetAddressPort(address, port);
    Address = Addresses.front();  // a finished look-up without error has an address
}

void TWinSocket::SocketOpen(int family) {
    if (state_ == SocketState::NotStarted) {
        SocketError(kSocketNotSupported, "Socket open");
        return;
    }
    if (Handle >= 0) SocketClose();
    Handle = socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (Handle < 0) {
        SocketError(static_cast<uint32_t>(LastOsError()), "Socket open");
        return;
    }
    SetOption(Handle, IPPROTO_TCP, TCP_NODELAY);
    Events = 0;
    received_.Clear();
    held_.clear();
    SetState(SocketState::Created);
}

void TWinSocket::SocketConnect(const std::string& host, uint16_t port) {
    if (!host.empty()) {
        LastError = 0;
        GetSockAddress(host, port);
        if (LastError != 0) return;  // a failed look-up reported to OnError: nothing to connect to
    }
    const std::string peerName = HostName;
    ConnectAddresses();
    if (state_ == SocketState::Connected && Tls.Enabled) StartTls(peerName);
}

void TWinSocket::ConnectAddresses() {
    const std::vector<platform::SocketAddress> candidates =
        Addresses.empty() ? std::vector<platform::SocketAddress>{Address} : Addresses;
    WaitScope scope(*this);
    uint32_t error = 0;
    const char* procName = "SocketConnect";
    for (size_t i = 0; i < candidates.size(); ++i) {
        if (i > 0) StartTimer();  // each address has the full time-out
        error = ConnectTo(candidates[i], procName);
        if (error == 0) return;  // connected, or a failure to open was reported to OnError
    }
    SocketError(error, procName);
}

uint32_t TWinSocket::ConnectTo(const platform::SocketAddress& address, const char*& procName) {
    SocketOpen(address.any.sa_family == AF_INET6 ? AF_INET6 : AF_INET);
    if (Handle < 0) return 0;  // reported to OnError by SocketOpen
    Window->Select(Handle, platform::kEventConnect);
    uint32_t error = 0;
    if (connect(Handle, &address.any, platform::AddressLength(address)) != 0 &&
        errno != EINPROGRESS) {
        error = static_cast<uint32_t>(LastOsError());
        procName = "SocketConnect";
    } else if (bool ended = false;
               const int waited = AwaitEvent(SocketEventKind::Connected, ended)) {
        error = static_cast<uint32_t>(waited);
        procName = "SocketWait";
    }
    if (error != 0) {
        SocketClose();
        return error;
    }
    Window->Select(Handle, ConnectedEvents());
    Address = {};
    socklen_t length = sizeof Address;
    getsockname(Handle, &Address.any, &length);
    SetState(SocketState::Connected);
    return 0;
}

void TWinSocket::AdoptConnected(int handle) {
    Handle = handle;
    if (Window) Window->Select(Handle, ConnectedEvents());
    SetState(SocketState::Connected);
}

void TWinSocket::SocketListen(const std::string& /*host*/, uint16_t /*port*/) {
    SocketOpen();
    if (Handle < 0) return;
    Address = platform::MakeIPv4Address(in_addr{htonl(INADDR_ANY)}, 0);
    socklen_t length = sizeof Address;
    if (bind(Handle, &Address.any, platform::AddressLength(Address)) != 0 ||
        listen(Handle, 5) != 0 || getsockname(Handle, &Address.any, &length) != 0) {
        const auto error = static_cast<uint32_t>(LastOsError());
        LastError = error;
        SocketClose();
        SocketError(error, "SocketListen");
        return;
    }
    SetState(SocketState::Listening);
    SelectForState();
}

void TWinSocket::SocketAccept() {
    if (state_ != SocketState::Listening) {
        SocketError(kNotInListenMode, "SocketAccept");
        return;
    }
    WaitScope scope(*this);
    if (SocketWait(SocketEventKind::AcceptPending) != 0) return;
    const int accepted = accept4(Handle, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    Window->Rearm(platform::kEventAccept);
    if (accepted < 0) {
        SocketError(static_cast<uint32_t>(LastOsError()), "SocketAccept");
        return;
    }
    close(Handle);
    Handle = accepted;
    SetOption(Handle, IPPROTO_TCP, TCP_NODELAY);
    Events = 0;
    received_.Clear();
    SetState(SocketState::Accepted);
    SelectForState();
}

void TWinSocket::SocketClose() {
    StopTimer();
    if (Window) {
        Window->Lookup().Cancel();
        Window->Select(-1, 0);
    }
    if (tls_) {
        tls_->Shutdown();
        tls_.reset();
    }
    tlsWantsWrite_ = false;
    deflate_.reset();
    if (Handle >= 0 && close(Handle) != 0) LastError = static_cast<uint32_t>(LastOsError());
    Handle = -1;
    SetState(SocketState::Idle);
    Events = 0;
    received_.Clear();
    held_.clear();
}

int TWinSocket::SocketWait(SocketEventKind event) {
    bool ended = false;
    const int result = AwaitEvent(event, ended);
    // A connection the peer closed with nothing left to read is not reported: reads end there.
    if (!ended) SocketError(static_cast<uint32_t>(result), "SocketWait");
    return result;
}

int TWinSocket::AwaitEvent(SocketEventKind event, bool& ended) {
    ended = false;
    const bool ownWindow = !Window;
    if (ownWindow) AcquireWindow();
    struct Release {
        TWinSocket& socket;
        bool own;
        ~Release() {
            if (own) socket.ReleaseWindow();
        }
    } release{*this, ownWindow};

    CallOnWait(event);
    const auto bit = static_cast<uint8_t>(1u << static_cast<int>(event));
    int result = 0;
    while (result == 0) {
        if (Events & bit) {
            if (event != SocketEventKind::Writable) Events &= static_cast<uint8_t>(~bit);
            return 0;
        }
        if (Events & kEventClosed) {
            if (DataAvailable() <= 0) {
                SocketClose();
                ended = true;
                return kWsaConnReset;
            }
            Events |= kEventReadable;  // what is still buffered can be read
            if (event == SocketEventKind::Readable) continue;
        }
        const platform::SocketNotice notice = Window->Next();
        switch (notice.kind) {
            case platform::SocketNotice::Kind::Tick:
                if (Timeout != 0 && --Countdown <= 0) {
                    Window->Lookup().Cancel();
                    result = platform::kWsaTimedOut;
                }
                CallOnWait(event);
                break;
            case platform::SocketNotice::Kind::ConsoleInput:
                CallOnWait(event);
                break;
            case platform::SocketNotice::Kind::LookupDone:
            case platform::SocketNotice::Kind::Socket:
                Events |= static_cast<uint8_t>(notice.event);
                result = notice.error;
                break;
        }
    }
    return result;
}

void TWinSocket::SocketError(uint32_t code, const char* procName) {
    if (code == 0) return;
    const uint32_t classBits = SocketErrorClass(code);
    if (IsClosingSocketError(code)) SocketClose();
    LastError = code;
    const std::string text = SocketErrorText(code);
    if (OnError) {
        OnError(*this, code | classBits, procName, text);
        return;
    }
    throw ESocketError(code | classBits, text, procName);
}

int TWinSocket::WriteBuffer(const void* buffer, int length, int flags) {
    if (buffer == nullptr || length <= 0) return 0;
    if (Handle < 0) {
        SocketError(kWsaNotConnected, "WriteBuffer");
        return 0;
    }
    WaitScope scope(*this);
    const auto* data = static_cast<const char*>(buffer);
    if (OnData) OnData(*this, kDirectionOut, length, data);
    if (deflate_) return WriteCompressed(data, length);
    return WriteRaw(data, length, flags);
}

int TWinSocket::WriteRaw(const char* data, int length, int flags) {
    if (const int waited = SocketWait(SocketEventKind::Writable); waited != 0) {
        // A wait that found the connection closed by the peer reports nothing by itself.
        if (waited == kWsaConnReset && LastError != kWsaConnReset)
            SocketError(kWsaConnReset, "WriteBuffer");
        return 0;
    }
    if (tls_) return WriteTls(data, length);
    const long sent = SendBytes(data, static_cast<size_t>(length), flags);
    if (sent < 0) {
        const int error = LastOsError();
        if (error == kWsaWouldBlock) {
            Events &= static_cast<uint8_t>(~kEventWritable);
            Window->Rearm(platform::kEventWrite);
        } else {
            SocketError(static_cast<uint32_t>(error), "WriteBuffer");
        }
        return 0;
    }
    return static_cast<int>(sent);
}

int TWinSocket::WriteCompressed(const char* data, int length) {
    std::string compressed;
    deflate_->Compress(data, static_cast<size_t>(length), compressed);
    const int size = static_cast<int>(compressed.size());
    if (WriteUntilSent(compressed.data(), size, true) == size) return length;
    if (Handle >= 0) {
        SocketClose();
        SocketError(kWsaConnReset, "WriteBuffer");
    }
    return 0;
}

long TWinSocket::SendBytes(const char* data, size_t size, int flags) {
    return send(Handle, data, size, flags | MSG_NOSIGNAL);
}

long TWinSocket::ReceiveBytes(char* space, size_t size) {
    return recv(Handle, space, size, 0);
}

int TWinSocket::WriteTls(const char* data, int length) {
    size_t sent = 0;
    const TlsStep step = tls_->Write(data, static_cast<size_t>(length), sent);
    Window->Rearm(platform::kEventRead);  // the session may have read
    switch (step) {
        case TlsStep::Done:
            return static_cast<int>(sent);
        case TlsStep::WantRead:
        case TlsStep::WantWrite:
            AwaitTls(step == TlsStep::WantRead ? kWantRead : kWantWrite);
            return 0;  // the caller sends the same bytes again
        default:
            SocketError(kWsaConnReset, "WriteBuffer");
            return 0;
    }
}

long TWinSocket::ReceiveTls(char* space, size_t size) {
    size_t got = 0;
    tlsWantsWrite_ = false;
    switch (tls_->Read(space, size, got)) {
        case TlsStep::Done:
            return static_cast<long>(got);
        case TlsStep::WantWrite:
            tlsWantsWrite_ = true;
            errno = EWOULDBLOCK;
            return -1;
        case TlsStep::WantRead:
            errno = EWOULDBLOCK;
            return -1;
        case TlsStep::Closed:
            return 0;
        default:
            errno = ECONNRESET;
            return -1;
    }
}

int TWinSocket::Receive() {
    char* space = received_.Space();
    const long count = deflate_ ? ReceiveInflated(space, received_.SpaceSize())
                                : ReceiveRaw(space, received_.SpaceSize());
    if (count <= 0) return static_cast<int>(count);
    received_.Commit(static_cast<size_t>(count));
    if (OnData) OnData(*this, kDirectionIn, static_cast<int>(count), space);
    return static_cast<int>(count);
}

long TWinSocket::ReceiveRaw(char* space, size_t size) {
    SetOption(Handle, IPPROTO_TCP, TCP_QUICKACK);  // Linux leaves quick-ack mode by itself
    const long count = tls_ ? ReceiveTls(space, size) : ReceiveBytes(space, size);
    if (Window) Window->Rearm(platform::kEventRead);
    if (count < 0) {
        const int error = LastOsError();
        if (error == kWsaWouldBlock) return 0;
        SocketError(static_cast<uint32_t>(error), "ReadBuffer");
        return -1;
    }
    if (count == 0) {
        Events |= kEventClosed;  // the next wait ends the connection
        return 0;
    }
    Events &= static_cast<uint8_t>(~kEventReadable);  // taken: the next data is reported afresh
    return count;
}

long TWinSocket::ReceiveInflated(char* space, size_t size) {
    // Only as much is inflated as fits in space: the compressed bytes wait until the reader
    // has taken what came out before.
    for (;;) {
        size_t produced = 0;
        switch (deflate_->Inflate(space, size, produced)) {
            case InflateStep::Output:
                return static_cast<long>(produced);
            case InflateStep::Corrupt:
                SocketClose();
                SocketError(kCompressedDataCorrupt, "ReadBuffer");
                return -1;
            case InflateStep::NeedInput:
                break;
        }
        size_t room = 0;
        char* input = deflate_->InputSpace(room);
        const long count = ReceiveRaw(input, room);
        if (count <= 0) return count;
        deflate_->CommitInput(static_cast<size_t>(count));
    }
}

int TWinSocket::ReceiveBlock() {
    if (Handle < 0) return -1;
    // Data already waiting is taken without a wait: a fast stream costs one call per block.
    if (!(Events & kEventClosed)) {
        if (const int count = Receive(); count != 0) return count;
    }
    for (;;) {
        const auto awaited = tlsWantsWrite_ ? SocketEventKind::Writable : SocketEventKind::Readable;
        if (SocketWait(awaited) != 0 || Handle < 0) return -1;
        if (const int count = Receive(); count != 0) return count;
    }
}

int TWinSocket::ReadBuffer(void* buffer, int length, int flags) {
    if (buffer == nullptr || length <= 0) return 0;
    SendHeld();
    if (received_.Empty()) {
        if (Handle < 0) return 0;
        WaitScope scope(*this);
        if (ReceiveBlock() <= 0) return 0;
    }
    return static_cast<int>(
        received_.Take(buffer, static_cast<size_t>(length), (flags & MSG_PEEK) != 0));
}

int TWinSocket::ReadExact(void* buffer, int length) {
    if (buffer == nullptr || length <= 0) return 0;
    SendHeld();
    auto* out = static_cast<char*>(buffer);
    size_t total = received_.Take(out, static_cast<size_t>(length), false);
    if (total == static_cast<size_t>(length) || Handle < 0) return static_cast<int>(total);
    WaitScope scope(*this);
    while (total < static_cast<size_t>(length)) {
        if (received_.Empty() && ReceiveBlock() < 0) break;
        total += received_.Take(out + total, static_cast<size_t>(length) - total, false);
    }
    return static_cast<int>(total);
}

int TWinSocket::SendAll(const char* data, int length) {
    SendHeld();
    return WriteUntilSent(data, length, false);
}

int TWinSocket::WriteUntilSent(const char* data, int length, bool raw) {
    int sent = 0;
    for (int idle = 0; sent < length && idle < kMaxIdleSends;) {
        const int count =
            raw ? WriteRaw(data + sent, length - sent, 0) : WriteBuffer(data + sent, length - sent);
        if (count == 0) {
            if (Handle < 0) break;
            ++idle;
        }
        sent += count;
    }
    return sent;
}

int TWinSocket::WriteLine(std::string_view text) {
    std::string line;
    AppendLine(line, text);
    return SendAll(line.data(), static_cast<int>(line.size()));
}

void TWinSocket::HoldLine(std::string_view text) {
    AppendLine(held_, text);
}

void TWinSocket::SendHeld() {
    if (held_.empty()) return;
    const std::string lines = std::move(held_);
    held_.clear();
    SendAll(lines.data(), static_cast<int>(lines.size()));
}

int TWinSocket::ReadLine(std::string& text) {
    SendHeld();
    text.clear();
    size_t taken = 0;
    for (;;) {
        bool ended = false;  // the connection ended or failed: no more bytes will come
        if (received_.Empty() && Handle >= 0) {
            WaitScope scope(*this);
            ended = ReceiveBlock() < 0;
        }
        const TLineBuffer::LinePart part = received_.TakeLinePart(text, ReadLineEnds);
        taken = part.taken;
        if (text.size() > kMaxLineLength) {
            text.clear();
            text.shrink_to_fit();
            SocketClose();
            SocketError(kLineTooLong, "ReadLine");
            return 0;
        }
        if (part.ended || ended || !IsConnected()) break;
    }
    return static_cast<int>(taken);
}

int64_t TWinSocket::SendStream(TStream& stream, int64_t count) {
    int64_t sent = 0;
    while (BufferSize > 0) {
        int64_t want = BufferSize;
        if (count != 0) want = std::min(want, count - sent);
        const int64_t got = want > 0 ? stream.Read(Buffer.data(), want) : 0;
        if (got <= 0) break;
        const int n = SendAll(Buffer.data(), static_cast<int>(got));
        sent += n;
        if (n < got || (count != 0 && sent >= count)) break;
    }
    return sent;
}

bool TWinSocket::IsConnected() {
    if (state_ != SocketState::Connected && state_ != SocketState::Accepted) return false;
    return !(send(Handle, "", 0, MSG_NOSIGNAL) < 0 && LastOsError() == kWsaWouldBlock);
}

int TWinSocket::DataAvailable() {
    int count = 0;
    if (Handle < 0 || ioctl(Handle, FIONREAD, &count) != 0) return -1;
    const size_t decrypted = tls_ ? tls_->Pending() : 0;
    const size_t inflatable = deflate_ && deflate_->HasPending() ? 1 : 0;
    return count + static_cast<int>(received_.Size() + decrypted + inflatable);
}

std::string TWinSocket::PeerFingerprint() const {
    return tls_ ? tls_->Fingerprint() : std::string();
}

void TWinSocket::StartCompression() {
    deflate_ = std::make_unique<TDeflateStream>();
    char rest[4096];
    while (!received_.Empty()) {
        const size_t count = received_.Take(rest, sizeof rest, false);
        deflate_->AddInput(rest, count);
    }
    received_.Clear();  // no line end is waiting for its partner across the switch
}

void TWinSocket::StartTls(const std::string& peerName) {
    tls_ = std::make_unique<TTlsSession>(Handle, peerName);
    if (tls_->Failed()) TlsError(kTlsFailed, tls_->ErrorText());
    WaitScope scope(*this);
    for (;;) {
        const TlsStep step = tls_->Handshake();
        Window->Rearm(platform::kEventRead);  // the handshake may have read
        if (step == TlsStep::Done) break;
        if (step == TlsStep::Failed) TlsError(kTlsFailed, tls_->ErrorText());
        if (!AwaitTls(step == TlsStep::WantRead ? kWantRead : kWantWrite)) {
            TlsError(kTlsFailed, "the connection ended during the TLS handshake");
        }
    }
    const std::string fingerprint = tls_->Fingerprint();
    if (fingerprint.empty()) TlsError(kTlsFailed, "the server sent no certificate");
    const TCertificateVerdict verdict = tls_->Verdict(Tls.TrustedFingerprint);
    switch (verdict.kind) {
        case TCertificateVerdict::Kind::Trusted:
            return;
        case TCertificateVerdict::Kind::Untrusted:
            TlsError(kCertificateUntrusted, verdict.reason, fingerprint);
        case TCertificateVerdict::Kind::Changed:
            TlsError(kCertificateChanged,
                     "trusted " + Tls.TrustedFingerprint + ", offered " + fingerprint, fingerprint);
    }
}

bool TWinSocket::AwaitTls(int want) {
    if (want == kWantWrite) {
        Events &= static_cast<uint8_t>(~kEventWritable);
        Window->Rearm(platform::kEventWrite);
    }
    const auto event = want == kWantWrite ? SocketEventKind::Writable : SocketEventKind::Readable;
    return SocketWait(event) == 0 && Handle >= 0;
}

void TWinSocket::TlsError(uint32_t code, const std::string& detail,
                          const std::string& fingerprint) {
    const std::string message = SocketErrorText(code) + ": " + detail;
    SocketClose();
    LastError = code;
    if (code == kTlsFailed) throw ESocketError(code | SocketErrorClass(code), message, "StartTls");
    throw ECertificateError(code | SocketErrorClass(code), message, "StartTls", fingerprint,
                            detail);
}

}  // namespace kestrova
