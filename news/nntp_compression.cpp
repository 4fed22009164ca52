// Compression: a server that offers COMPRESS DEFLATE is asked for it once per connection, after
// TLS and after the login at connect time (a login is never sent compressed: its secret would
// share the compressor's window with what the server sends back); on 206 both directions run
// deflated from the next byte.
#include "news/nntp_connection.h"

namespace kestrova {

void TNntpConnection::StartCompression() {
    if (!capabilities_.CompressDeflate || compressionAsked_) return;
    compressionAsked_ = true;
    // The reply line ends at its LF: the byte after it is the first compressed one.
    struct RestoreLineEnds {
        TWinSocket& socket;
        TLineBuffer::LineEnds ends = socket.ReadLineEnds;
        ~RestoreLineEnds() { socket.ReadLineEnds = ends; }
    } restore{*socket_};
    socket_->ReadLineEnds = TLineBuffer::LineEnds::LfOnly;
    // The last line stays the greeting, which status boxes show.
    const std::string greeting = lastLine_;
    const TNntpStatus status =
        Command("COMPRESS DEFLATE", kLogCommand, kKeepReply | kLoginOnlyWithCredentials);
    lastLine_ = greeting;
    if (ReplyClosesConnection(status.Code)) Check(status, "Compress");
    if (status.Code != kReplyCompressionActive) return;  // any other answer: on uncompressed
    socket_->StartCompression();
    log_.Write(kLogConnection, "Compression: DEFLATE from here on");
}

}  // namespace kestrova
