// Reply handling of the news connection over any bytes a server may send: status lines are waited
// for and checked, data blocks read after accepted codes below 300. An accepted code must be one
// of the accepted class, every error must carry the code of its class and the line that caused
// it, data lines must come out un-stuffed, and the end of the bytes must end the reading with a
// lost connection instead of a hang, as must a line that is not a status line where one belongs.
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "common/errors.h"
#include "news/nntp_connection.h"
#include "ui/plugin_options.h"

namespace {

using kestrova::DataLine;
using kestrova::TNntpConnection;
using kestrova::TNntpStatus;

void Check(bool condition) {
    if (!condition) abort();
}

// Reads one data block; false when the connection ended inside it.
bool ReadBlock(TNntpConnection& connection) {
    std::string line;
    for (;;) {
        switch (connection.ReadDataLine(line)) {
            case DataLine::Data: {
                const std::string& raw = connection.LastLine();
                Check(raw != ".");
                Check(line == (raw.starts_with("..") ? raw.substr(1) : raw));
                break;
            }
            case DataLine::End:
                return true;
            case DataLine::Lost:
                Check(!connection.IsConnected());
                return false;
        }
    }
}

void ReadReplies(TNntpConnection& connection, int flags) {
    for (;;) {
        try {
            const TNntpStatus status = connection.WaitStatus(kestrova::kLogCommand, "Fuzz", flags);
            const int code = status.Code;
            Check(code >= 0 && code <= 999);
            Check(status.Line == connection.LastLine());
            Check(code == kestrova::ReplyCodeOf(status.Line));
            if ((flags & kestrova::kKeepReply) == 0) Check(kestrova::ReplyErrorClass(code) == 0);
            if (kestrova::ReplySucceeded(code) && !ReadBlock(connection)) return;
        } catch (const kestrova::EInternetError& error) {
            const int code = kestrova::ReplyCodeOf(connection.LastLine());
            Check(code != kestrova::kNoStatusCode);
            const uint32_t errorClass = kestrova::ReplyErrorClass(code);
            Check(errorClass != 0);
            Check(error.Code == (static_cast<uint32_t>(code) | errorClass));
            Check(error.Message == connection.LastLine());
            Check(error.ProcName == "Fuzz");
            if (kestrova::ReplyClosesConnection(code)) {
                Check(!connection.IsConnected());
                return;
            }
        } catch (const kestrova::ESocketError& error) {
            Check(error.Code == (10054u | kestrova::kTransient));
            Check(!connection.IsConnected());
            return;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A socket pair holds far more than the fuzzer's inputs; larger ones are skipped.
    if (size == 0 || size > 65536) return 0;
    kestrova::Options.Connect.CreateLog = 0;
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair) != 0) return 0;
    const ssize_t written = write(pair[1], data + 1, size - 1);
    close(pair[1]);
    if (written != static_cast<ssize_t>(size - 1)) {
        close(pair[0]);
        return 0;
    }
    kestrova::TAccountOptions account;
    const kestrova::TInternetEvent events;
    kestrova::TSessionLog log(nullptr);
    TNntpConnection connection(account, events, log);
    connection.AttachSocket(std::make_unique<kestrova::TWinSocket>(
        kestrova::Options.Connect.ServerTimeout, kestrova::kNewsSocketBufferSize));
    connection.Socket().Handle = pair[0];  // the socket closes it
    connection.Socket().SetState(kestrova::SocketState::Connected);
    ReadReplies(connection, (data[0] & 1) != 0 ? kestrova::kKeepReply : 0);
    return 0;
}
