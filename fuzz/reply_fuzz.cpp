// Reply handling of the news session over any bytes a server may send: status lines are waited
// for and checked, data blocks read after accepted codes below 300. An accepted code must be one
// of the accepted class, every error must carry the code of its class and the line that caused
// it, data lines must come out un-stuffed, and the end of the bytes must end the reading with a
// lost connection instead of a hang, as must too many lines without a status line.
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/errors.h"
#include "news/news_internet_manager.h"
#include "news/reply_codes.h"
#include "ui/plugin_options.h"

namespace {

using kestrova::DataLine;
using kestrova::TNewsInternetManager;

void Check(bool condition) {
    if (!condition) abort();
}

// Reads one data block; false when the connection ended inside it.
bool ReadBlock(TNewsInternetManager& manager) {
    std::string line;
    for (;;) {
        switch (manager.ReadDataLine(*manager.Socket, line)) {
            case DataLine::Data:
                Check(manager.ReplyLine != ".");
                Check(line == (manager.ReplyLine.starts_with("..") ? manager.ReplyLine.substr(1)
                                                                   : manager.ReplyLine));
                break;
            case DataLine::End:
                return true;
            case DataLine::Lost:
                Check(!manager.IsConnected());
                return false;
        }
    }
}

void ReadReplies(TNewsInternetManager& manager, int flags) {
    for (;;) {
        try {
            const int code =
                manager.WaitReply(*manager.Socket, kestrova::kLogCommand, "Fuzz", flags);
            Check(code >= 0 && code <= 999);
            Check(code == kestrova::ReplyCodeOf(manager.ReplyLine));
            if ((flags & kestrova::kKeepReply) == 0) Check(kestrova::ReplyErrorClass(code) == 0);
            if (kestrova::ReplySucceeded(code) && !ReadBlock(manager)) return;
        } catch (const kestrova::EInternetError& error) {
            if (manager.ReplyCode == kestrova::kNoStatusCode) {  // too many lines without one
                Check(error.Code == kestrova::kRefused);
                Check(!manager.IsConnected());
                return;
            }
            const uint32_t errorClass = kestrova::ReplyErrorClass(manager.ReplyCode);
            Check(errorClass != 0);
            Check(error.Code == (static_cast<uint32_t>(manager.ReplyCode) | errorClass));
            Check(error.Message == manager.ReplyLine);
            Check(error.ProcName == "Fuzz");
            if (kestrova::ReplyClosesConnection(manager.ReplyCode)) {
                Check(!manager.IsConnected());
                return;
            }
        } catch (const kestrova::ESocketError& error) {
            Check(error.Code == (10054u | kestrova::kTransient));
            Check(!manager.IsConnected());
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
    TNewsInternetManager manager(nullptr);
    manager.Socket->Handle = pair[0];  // the socket closes it
    manager.Socket->SetState(kestrova::SocketState::Connected);
    ReadReplies(manager, (data[0] & 1) != 0 ? kestrova::kKeepReply : 0);
    return 0;
}
