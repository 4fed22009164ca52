// The module's TCP client socket: non-blocking, every wait a loop over the socket's event
// source that counts a time-out down on the 500 ms tick and calls the owner on every tick so
// that it can show progress and let the user abort. Errors become ESocketError with the socket
// error number, its class bits and its text. A name's addresses (IPv4 and IPv6) are tried in
// turn; with Tls.Enabled the connection runs TLS under the reads and writes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/line_buffer.h"
#include "platform/socket_address.h"
#include "platform/socket_events.h"

namespace kestrova {

class TDeflateStream;
class TStream;
class TTlsSession;

// TLS on a connection: with Enabled, TLS from the first byte after connecting.
struct TTlsOptions {
    bool Enabled = false;
    // The SHA-256 fingerprint (certificate_check.h) of the one certificate the account trusts
    // even though it fails verification; empty for none.
    std::string TrustedFingerprint;
};

// The events a wait is for (the argument of SocketWait).
enum class SocketEventKind : int {
    Connected = 0,
    AcceptPending = 1,
    Readable = 2,
    Writable = 3,
    Resolved = 4
};

// Bits of TWinSocket::Events.
inline constexpr uint8_t kEventConnected = 1u << 0;
inline constexpr uint8_t kEventAcceptPending = 1u << 1;
inline constexpr uint8_t kEventReadable = 1u << 2;
inline constexpr uint8_t kEventWritable = 1u << 3;
inline constexpr uint8_t kEventResolved = 1u << 4;
inline constexpr uint8_t kEventClosed = 1u << 5;

// Where a socket stands; changed only through TWinSocket::SetState.
enum class SocketState : uint8_t { NotStarted, Idle, Created, Connected, Listening, Accepted };

// The state's name for the log.
const char* SocketStateName(SocketState state);

inline constexpr int kDirectionOut = 0;
inline constexpr int kDirectionIn = 1;

class TWinSocket {
  public:
    // Called at the start of every wait and on every tick of it (and when console input wakes
    // the wait); may raise to abort the wait.
    using WaitEvent = std::function<void(TWinSocket& sender, int awaitedEvent, int ticksLeft)>;
    // Called for each block before it is sent, and for each block received from the socket.
    using DataEvent =
        std::function<void(TWinSocket& sender, int direction, int count, const char* data)>;
    // When set, errors are reported here instead of being raised.
    using ErrorEvent = std::function<void(TWinSocket& sender, uint32_t code,
                                          const std::string& procName, const std::string& message)>;
    // Called on every change of the state, after it took effect.
    using StateEvent = std::function<void(TWinSocket& sender, SocketState from, SocketState to)>;

    // timeout: in units of 2 seconds (4 ticks each), 0 for none; bufferSize: the send block size.
    TWinSocket(int timeout, int bufferSize);
    virtual ~TWinSocket();
    TWinSocket(const TWinSocket&) = delete;
    TWinSocket& operator=(const TWinSocket&) = delete;

    // The event source is use-counted: the first acquire creates it and re-arms the events of
    // the current state, the last release destroys it. Waiting operations hold it themselves
    // for their duration, so an owner holds it only to keep it across operations.
    void AcquireWindow();
    void ReleaseWindow();

    // Fills Addresses (every address of the name, Address the first) and HostName; a
    // name is looked up asynchronously while the wait ticks. Raises with "GetSockAddress" or
    // "SocketWait" (e.g. 11001 "Host not found").
    virtual void GetSockAddress(const std::string& host, uint16_t port);
    // Connects (an empty host connects to the Addresses already set, else to Address),
    // trying each address in turn and reporting the last failure; then starts TLS when
    // Tls.Enabled. Raises with "Socket open", "SocketConnect" or "SocketWait" (e.g. 10061,
    // 10060), and for TLS ESocketError kTlsFailed or ECertificateError with "StartTls".
    virtual void SocketConnect(const std::string& host, uint16_t port);
    // Listens on any local port (the base ignores host and port). Raises with
    // "SocketListen".
    virtual void SocketListen(const std::string& host, uint16_t port);
    // Accepts the pending connection. Raises 0x10000001 "Socket not in listen mode"
    // with "SocketAccept" unless listening, else with "SocketWait" or "SocketAccept".
    virtual void SocketAccept();
    // Stops the timer, cancels a look-up and closes. Never raises.
    virtual void SocketClose();

    // Creates the socket of family; raises 10044 with "Socket open" before start-up.
    void SocketOpen(int family = AF_INET);

    // Bytes sent; 0 when the send would block. Raises with "WriteBuffer" or "SocketWait".
    int WriteBuffer(const void* buffer, int length, int flags = 0);
    // Bytes received (MSG_PEEK leaves them to be read again); 0 at the end of the data.
    // Raises with "ReadBuffer" or "SocketWait".
    int ReadBuffer(void* buffer, int length, int flags = 0);
    // Reads until length bytes came or the connection ended; returns the bytes received.
    int ReadExact(void* buffer, int length);
    // Sends text up to and including its first CR LF, or text and CR LF; returns bytes sent.
    int WriteLine(std::string_view text);
    // Keeps that line to be sent before the socket next reads or sends, with the lines kept
    // before it: commands sent ahead of their replies leave together, not one send each.
    void HoldLine(std::string_view text);
    // Reads one line without its end into text; returns the bytes taken in the last pass
    // (0 when the connection ended without a line end). A line longer than kMaxLineLength
    // closes the socket and raises kLineTooLong with "ReadLine" (reported to OnError, the
    // result is 0 with text empty), so a peer cannot fill the memory with one endless line.
    int ReadLine(std::string& text);
    static constexpr size_t kMaxLineLength = 1024 * 1024;
    // The line ends ReadLine goes by (net/line_buffer.h): LfOnly keeps data byte for byte.
    TLineBuffer::LineEnds ReadLineEnds = TLineBuffer::LineEnds::Any;
    // Sends count bytes of stream from its position (0: all of it); returns bytes sent.
    int64_t SendStream(TStream& stream, int64_t count);

    bool IsConnected();
    SocketState State() const { return state_; }
    // The one way the state changes; reports a change to OnState.
    void SetState(SocketState state);
    // Bytes that can be read without waiting; -1 without a socket.
    int DataAvailable();
    // The SHA-256 fingerprint of the TLS server's certificate; empty without TLS.
    std::string PeerFingerprint() const;
    // The connection runs TLS.
    bool HasTls() const { return tls_ != nullptr; }
    // Runs the TLS handshake with the server peerName over the connected socket and checks its
    // certificate against Tls.TrustedFingerprint: SocketConnect does it with Tls.Enabled, a
    // protocol that agrees on TLS in clear first (STARTTLS) calls it itself, with nothing
    // received left unread. Raises (also when OnError is set) ESocketError kTlsFailed or
    // ECertificateError with "StartTls", closing the socket first.
    void StartTls(const std::string& peerName);
    // From the next byte on, both directions run raw deflate, above TLS: every block sent is
    // compressed and flushed, received bytes are inflated only as the reader takes them (so a
    // small stream that expands enormously is held no further than one line). Bytes received
    // past the last line read count as compressed. Until the socket closes; a stream that
    // cannot be inflated closes it and raises kCompressedDataCorrupt with "ReadBuffer".
    void StartCompression();
    bool Compressed() const { return deflate_ != nullptr; }

    // Waits for event; 0, or the error number (raised unless OnError is set; a connection that
    // the peer closed with nothing left to read returns 10054 without raising).
    int SocketWait(SocketEventKind event);
    // The single error path: classifies code, closes the socket for the closing class,
    // records LastError and raises (or reports to OnError).
    void SocketError(uint32_t code, const char* procName);

    int Handle = -1;
    std::unique_ptr<platform::SocketEventSource> Window;
    int WindowRefs = 0;
    platform::SocketAddress Address{};
    std::vector<platform::SocketAddress> Addresses;  // tried in turn by a connect
    std::string HostName;                            // the host of the last GetSockAddress
    TTlsOptions Tls;
    int SocketType = 1;  // stream
    int Protocol = 6;    // TCP
    int Timeout;
    int Countdown = 0;
    uint8_t Events = 0;
    uint32_t LastError = 0;
    WaitEvent OnWait;
    DataEvent OnData;
    ErrorEvent OnError;
    StateEvent OnState;
    std::vector<char> Buffer;
    int BufferSize;
    bool InWait = false;

  protected:
    // Sends until all bytes went or 101 sends in all sent nothing; returns the bytes sent.
    int SendAll(const char* data, int length);
    // Connects to Addresses (or Address) in turn without TLS; the last failure is reported.
    void ConnectAddresses();
    // Takes handle, a connected stream socket made elsewhere, as the connection.
    void AdoptConnected(int handle);
    // The system's send and receive on Handle, as send() and recv() answer (errno set when
    // -1); an in-memory transport of the tests replaces them.
    virtual long SendBytes(const char* data, size_t size, int flags);
    virtual long ReceiveBytes(char* space, size_t size);

    // Holds the event source and runs the time-out for one waiting operation.
    class WaitScope {
      public:
        explicit WaitScope(TWinSocket& socket);
        ~WaitScope();
        WaitScope(const WaitScope&) = delete;
        WaitScope& operator=(const WaitScope&) = delete;

      private:
        TWinSocket& socket_;
    };

  private:
    // Connects to one address: 0, or the error number with the socket closed; procName tells
    // which step failed.
    uint32_t ConnectTo(const platform::SocketAddress& address, const char*& procName);
    // SocketWait without reporting a failure; ended tells that the peer closed the connection
    // with nothing left to read (the result is then 10054).
    int AwaitEvent(SocketEventKind event, bool& ended);
    static constexpr int kWantRead = 0;
    static constexpr int kWantWrite = 1;
    // Waits until the TLS session can go on (kWantRead or kWantWrite); false when the wait
    // failed or the connection ended.
    bool AwaitTls(int want);
    int WriteTls(const char* data, int length);
    // Sends data as it is (through TLS when on): bytes sent, 0 when none could go.
    int WriteRaw(const char* data, int length, int flags);
    // Compresses data and sends all of it: length, or 0 (the socket closed) when the connection
    // failed, since the peer could not inflate anything after a lost part.
    int WriteCompressed(const char* data, int length);
    // Sends until all bytes went or 101 sends in all sent nothing, as they are (raw) or through
    // WriteBuffer; returns the bytes sent.
    int WriteUntilSent(const char* data, int length, bool raw);
    // One TLS read as recv() would answer it (errno set when -1).
    long ReceiveTls(char* space, size_t size);
    [[noreturn]] void TlsError(uint32_t code, const std::string& detail,
                               const std::string& fingerprint = {});
    void StartTimer();
    void StopTimer();
    void CallOnWait(SocketEventKind event);
    void SelectForState();
    // One receive into the line buffer without waiting: bytes, 0 when nothing was there (or the
    // peer closed), -1 when it failed.
    int Receive();
    // One receive from the connection (through TLS when on) into space, as Receive answers.
    long ReceiveRaw(char* space, size_t size);
    // Inflated bytes into space, receiving compressed ones as they are needed, as Receive
    // answers; a corrupt stream closes the socket and fails.
    long ReceiveInflated(char* space, size_t size);
    // Receives at least one byte into the line buffer, waiting when nothing is there; -1 when
    // the connection ended or failed.
    int ReceiveBlock();

    // Sends the held lines, if any (see HoldLine).
    void SendHeld();

    TLineBuffer received_;
    std::string held_;  // lines not sent yet
    std::unique_ptr<TTlsSession> tls_;
    std::unique_ptr<TDeflateStream> deflate_;  // set while the connection is compressed
    bool tlsWantsWrite_ = false;               // the last TLS read needs the socket writable
    SocketState state_ = SocketState::NotStarted;
};

}  // namespace kestrova
