// One connection to a news server: the socket, the exchange of commands and status lines, the
// data blocks that follow them, commands sent ahead of their replies, the login on demand and
// the connection's log. It knows nothing of panels, lists or the cache; whoever uses it hears
// of the socket's progress and of login questions through the event callback.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "net/win_socket.h"
#include "news/capabilities.h"
#include "news/connection_log.h"
#include "news/reply_codes.h"
#include "ui/account_options.h"
#include "ui/event_kinds.h"

namespace kestrova {

// Send block size of a news connection's socket.
inline constexpr int kNewsSocketBufferSize = 1024;

// Bits of the flags of Command, WaitStatus and ReadAheadStatus.
inline constexpr int kKeepReply = 2;  // leave the code to the caller: no Check
// A 480 to this command logs in only when the account has credentials; without them it is the
// server's refusal of the command (a reader that needs no login may still be refused NEWNEWS).
inline constexpr int kLoginOnlyWithCredentials = 4;

// A status line as the server sent it, and its code (kNoStatusCode when the line has none).
struct TNntpStatus {
    int Code = kNoStatusCode;
    std::string Line;
};

// How a line of a multi-line data block came out.
enum class DataLine {
    Data,  // a data line, un-stuffed
    End,   // the terminating "." line: the block is complete
    Lost,  // the connection ended before the block did
};

// The line of command with argument: "COMMAND argument", or the command alone when argument is
// empty.
std::string CommandLine(const std::string& command, const std::string& argument);

class TNntpConnection {
  public:
    // account names the server and holds the credentials (a login dialog may change them);
    // events and log belong to the owner and outlive the connection.
    TNntpConnection(TAccountOptions& account, const TInternetEvent& events, TSessionLog& log);
    TNntpConnection(const TNntpConnection&) = delete;
    TNntpConnection& operator=(const TNntpConnection&) = delete;

    // Takes socket and routes its data and waits to the events, its state changes to the log.
    void AttachSocket(std::unique_ptr<TWinSocket> socket);
    TWinSocket& Socket() { return *socket_; }
    bool HasSocket() const { return socket_ != nullptr; }
    // While set, the socket's data is reported as progress (kEventProgress, a byte count), not
    // as sent or received data: an article being posted.
    void ReportDataAsProgress(bool on) { dataAsProgress_ = on; }

    // Forgets the commands ahead, resolves the account's host and connects the socket, with TLS
    // when the account asks for it from the first byte. Raises the socket's failures
    // (ECertificateError for a refused certificate).
    void Open();
    // Reads the greeting after Open: its status line, checked ("ConnectHostDef"); the last
    // login, the capabilities, the reader mode and STARTTLS are then forgotten.
    TNntpStatus ReadGreeting();
    // Posting is allowed by the last greeting or MODE READER reply (200, not 201).
    bool PostingAllowed() const { return postingAllowed_; }

    // Reader mode and capabilities (nntp_capabilities.cpp).
    //
    // After the greeting: asks CAPABILITIES and, when the server reads only after MODE READER,
    // sends it and asks again. An account that asks for STARTTLS gets it when the server lists
    // it (before MODE READER, or after it when only then listed); without it the session reads
    // on in clear and refuses to log in (RefuseLoginInClear).
    void StartReading();
    // Asks CAPABILITIES and keeps the answer; any answer but a list (500, 501 from a server that
    // predates the command) leaves none. A list too long to be one closes the connection.
    void AskCapabilities();
    // Sends MODE READER (an error status raises), takes its posting permission and, when the
    // server listed its capabilities, asks for them again. Sent once per connection.
    void EnterReaderMode();
    const TCapabilities& Capabilities() const { return capabilities_; }

    // STARTTLS (nntp_starttls.cpp).
    //
    // Sends STARTTLS (once per connection) with nothing ahead of it. On 382 runs the TLS
    // handshake with the account's host and trusted certificate, as a connection with TLS from
    // the first byte does (ECertificateError, ESocketError kTlsFailed), and asks CAPABILITIES
    // anew; bytes the server sent after 382 close the connection and raise EInternetError
    // kRefused. Any other reply leaves the session in clear (ReadInClear); 400 and 503 raise.
    void NegotiateTls();
    // The account asks for TLS and the session has none, because of reason (a message): logged,
    // and kept for RefuseLoginInClear.
    void ReadInClear(const std::string& reason);
    // Raises EInternetError kRefused ("LogIn") with the reason when the account asks for
    // STARTTLS and the session has no TLS (yet, or at all): credentials never go in clear.
    void RefuseLoginInClear();

    // Compression (nntp_compression.cpp).
    //
    // When the server listed COMPRESS DEFLATE: asks for it, once per connection, and on 206
    // compresses the connection from the next byte on (logged); any other answer leaves it
    // uncompressed. Call it after TLS and after the login at connect time.
    void StartCompression();
    // Closes the socket; the next request reconnects.
    void Close() { socket_->SocketClose(); }
    // Logs the end of the connection, forgets the commands ahead and closes the socket.
    void Disconnect();
    bool IsConnected() { return socket_ && socket_->IsConnected(); }

    // Sends line (logged at level) and reads its status line. A 480 (login required) logs in
    // (LogInOnDemand) and sends the line once more, and so does a 401 naming MODE-READER after
    // MODE READER (once per connection); a 480 that a login cannot answer raises
    // EInternetError 480 as a refusal unless flags hold kKeepReply. Without kKeepReply an error
    // status raises (Check, "SendCommand"). Replies still ahead are read and dropped first.
    TNntpStatus Command(const std::string& line, int level, int flags = 0);
    // Reads the status line, checked by Check(procName) unless flags hold kKeepReply. Raises
    // ESocketError 10054 with procName when the connection ends first, and RaiseNotAStatusLine
    // for a line that is not one: the server is never waited for past what it sent.
    TNntpStatus WaitStatus(int level, const std::string& procName, int flags = 0);
    // Reads the next line of a multi-line data block at level kLogData. A data line that begins
    // with ".." loses its first dot, so the text comes out as the author wrote it.
    DataLine ReadDataLine(std::string& line);
    // Returns when status holds an accepted code; otherwise raises EInternetError with the code
    // and its class bit (reply_codes.h), the line and procName. For 400 and 503 the socket is
    // closed first, so the next request reconnects.
    void Check(const TNntpStatus& status, const std::string& procName);
    // Closes the socket and raises ESocketError 10054 (transient): the server closed it.
    [[noreturn]] void RaiseConnectionLost(const std::string& procName);
    // Where a status line belongs the server sent line (an empty one, junk, "2000 x"): the
    // exchange is out of step. Closes the socket and raises ESocketError 10054 (transient,
    // retried like a dropped connection) with the line made visible.
    [[noreturn]] void RaiseNotAStatusLine(const std::string& line, const std::string& procName);
    // Closes the socket, whose exchange is out of step or goes on too long, and raises
    // EInternetError kRefused with message and procName.
    [[noreturn]] void RaiseAndClose(const std::string& message, const std::string& procName);

    // Sends AUTHINFO USER and, when the server asks for it and the account has one, AUTHINFO
    // PASS. True when the server accepted the login. A refused user name or password (481, 482)
    // offers the login dialog again (kEventLogin) and tries the new ones; declined, it aborts
    // silently (EAbort); when nobody can be asked it raises EInternetError (code | kRefused,
    // "LogIn").
    bool LogIn();
    // Offers the login dialog (kEventLogin) after status: with the server's line when it refused
    // the credentials, without when it asked for a password the account lacks. Returns when new
    // ones were entered; declined, it aborts silently (EAbort); when nobody can be asked it
    // raises EInternetError (code | kRefused, "LogIn").
    void AskLogin(const TNntpStatus& status, bool refused);
    // The server answered 480: logs in with the account's credentials, asking for them
    // (kEventLogin) when the account lacks them. False when a login cannot help: one has already
    // succeeded on this connection, flags hold kLoginOnlyWithCredentials and the account has
    // none, or nobody could be asked. A declined dialog aborts silently. On a compressed
    // connection, once the credentials are there, it makes the connection again through
    // ConnectAgain (false without it), which logs in before it compresses.
    bool LogInOnDemand(int flags);
    // The server accepted a login on this connection.
    bool LoggedIn() const { return loggedIn_; }
    // Set by the owner: connects again as at the start (greeting, capabilities, login,
    // compression) and restores the session's place, such as the group it was in.
    std::function<void()> ConnectAgain;

    // Commands sent ahead of their replies (nntp_pipeline.cpp), for the article commands HEAD,
    // NEXT, ARTICLE, BODY and OVER. The replies come in the order the commands went out. Command
    // first reads and drops the replies still ahead of it; Open and Close forget them. Callers keep
    // at most the pipeline depth option's count ahead.
    //
    // Logs line at level and sends it with the socket's next read or send, beside the other
    // commands ahead (see TWinSocket::HoldLine); its reply is left for ReadAheadStatus.
    void SendAhead(const std::string& line, int level);
    // Reads the status line of the oldest command ahead, as Command does: a 480 drops the
    // replies after it, logs in and sends it and those after it again.
    TNntpStatus ReadAheadStatus(int flags);
    // Reads and drops the replies, data blocks included, of the count oldest commands ahead
    // (all of them by default). A failure closes the socket, forgets the rest and is passed on.
    void DiscardAheadReplies(size_t count = static_cast<size_t>(-1));
    // Drops the replies of the commands ahead of line; true when line itself went out ahead, so
    // that its reply is the next one, false when it did not (every reply ahead dropped).
    bool DropAheadUntil(const std::string& line);
    size_t CommandsAhead() const { return ahead_.size(); }
    bool IsAhead(const std::string& line) const;

    // The last line read, as it came (a status or data line, or what came before the
    // connection ended); the status box of a group listing shows it while the server is asked.
    const std::string& LastLine() const { return lastLine_; }

    // The owner's callback (0 when it has none) and the session's log.
    int Notify(int kind, intptr_t param1, intptr_t param2) const;
    TSessionLog& Log() { return log_; }

  private:
    struct AheadCommand {
        std::string line;
        int level;
    };

    // Sends line, logged at level.
    void Send(const std::string& line, int level);
    // Reads one line; false when the connection ended instead.
    bool ReadLine(std::string& line, int level);
    // The status after a command's first answer: on a 480 logs in and sends the command again
    // (resend does, and reads the new status); a 480 that stays raises as a refusal unless
    // flags hold kKeepReply.
    TNntpStatus ReplayAfterLogin(TNntpStatus status, int flags,
                                 const std::function<TNntpStatus()>& resend);
    // The status after a 401 naming MODE-READER: MODE READER, then the command again (resend).
    TNntpStatus ReplayInReaderMode(TNntpStatus status, const std::function<TNntpStatus()>& resend);

    TAccountOptions& account_;
    const TInternetEvent& events_;
    TSessionLog& log_;
    std::unique_ptr<TWinSocket> socket_;
    std::deque<AheadCommand> ahead_;
    std::string lastLine_;
    bool loggedIn_ = false;
    bool postingAllowed_ = false;
    bool readerModeSent_ = false;
    bool startTlsSent_ = false;
    std::string noTlsReason_;  // why the session has no TLS the account asks for; empty: it has
    bool compressionAsked_ = false;
    TCapabilities capabilities_;
    bool dataAsProgress_ = false;
};

}  // namespace kestrova
