// The socket's compressed mode against a peer that compresses and inflates with zlib itself.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "common/errors.h"
#include "loopback_peer.h"
#include "net/socket_error_text.h"
#include "net/win_socket.h"

namespace kestrova {
namespace {

using namespace testing;  // the loopback peer's helpers
using ::testing::StartsWith;

// The peer's side of raw deflate (no header, 32 KiB window), one direction.
class PeerStream {
  public:
    explicit PeerStream(bool compressing) : compressing_(compressing) {
        if (compressing_) {
            deflateInit2(&stream_, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
        } else {
            inflateInit2(&stream_, -15);
        }
    }
    ~PeerStream() { compressing_ ? deflateEnd(&stream_) : inflateEnd(&stream_); }
    PeerStream(const PeerStream&) = delete;
    PeerStream& operator=(const PeerStream&) = delete;

    // Compresses (flush Z_SYNC_FLUSH or Z_FINISH) or inflates bytes; an inflate error gives "!".
    std::string Step(const std::string& bytes, int flush = Z_SYNC_FLUSH) {
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        stream_.avail_in = static_cast<uInt>(bytes.size());
        std::string out;
        char room[65536];
        do {
            stream_.next_out = reinterpret_cast<Bytef*>(room);
            stream_.avail_out = sizeof room;
            const int result = compressing_ ? deflate(&stream_, flush) : inflate(&stream_, 0);
            if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) return "!";
            out.append(room, sizeof room - stream_.avail_out);
        } while (stream_.avail_out == 0);
        return out;
    }

  private:
    bool compressing_;
    z_stream stream_{};
};

std::string Compressed(const std::string& text, int flush = Z_SYNC_FLUSH) {
    return PeerStream(true).Step(text, flush);
}

// A client socket connected to peer that counts the bytes it hands the reader.
struct Client {
    explicit Client(const LoopbackPeer& peer) {
        socket.OnData = [this](TWinSocket&, int direction, int count, const char*) {
            if (direction == kDirectionIn) received += static_cast<size_t>(count);
        };
        socket.SocketConnect("127.0.0.1", peer.Port());
    }
    TWinSocket socket{5, 1024};
    size_t received = 0;  // bytes after inflating
};

// Commands go out compressed and flushed: the peer inflates each one as soon as it came, and
// answers it compressed in pieces of one byte. The peer's first compressed bytes travel in the
// same send as the line that switches compression on.
TEST(CompressedSocket, CommandsAndRepliesCrossCompressedEachFlushedAtOnce) {
    LoopbackPeer peer([](int fd) {
        PeerStream toPeer(false);
        PeerStream fromPeer(true);
        SendAllBytes(fd, "206 on\r\n" + fromPeer.Step("first\r\n"));
        for (const char* reply : {"211 1 1 1 g\r\n", "221 x\r\n.\r\n"}) {
            std::string command;
            for (char c; command.find('\n') == std::string::npos && recv(fd, &c, 1, 0) == 1;)
                command += toPeer.Step(std::string(1, c));
            for (const char c : fromPeer.Step(command.substr(0, 3) + reply))
                SendAllBytes(fd, std::string(1, c));
        }
        ReceiveUntilClosed(fd);
    });
    Client client(peer);
    std::string line, taken;
    client.socket.ReadLine(line);
    EXPECT_EQ(line, "206 on");
    client.socket.StartCompression();
    EXPECT_TRUE(client.socket.Compressed());
    for (const char* command : {"GROUP g", "HEAD 1"}) {
        client.socket.ReadLine(line);
        taken += line + "|";
        client.socket.WriteLine(command);
    }
    for (int n = 0; n < 2; ++n) {
        client.socket.ReadLine(line);
        taken += line + "|";
    }
    EXPECT_EQ(taken, "first|GRO211 1 1 1 g|HEA221 x|.|");
    client.socket.SocketClose();
    EXPECT_FALSE(client.socket.Compressed());
}

// A few KiB that inflate to 32 MiB are held no further than the line limit and one block of the
// line buffer: without line ends the line limit ends the connection; with them every line read
// inflates only the block it comes from. A stream zlib cannot inflate, or one that goes on past
// its end, closes the connection with its own error instead of handing out what came.
TEST(CompressedSocket, HostileStreamsInflateOnlyAsFarAsTheReaderTakesOrCloseWithTheirOwnError) {
    constexpr size_t kBombSize = 32u << 20;
    const std::string corrupt = std::to_string(kCompressedDataCorrupt | kRefused) +
                                " ReadBuffer: The server's compressed data is corrupt";
    const struct {
        const char* name;
        std::string bytes;
        std::string raised;
        size_t mostInflated;
        SocketState state;
    } cases[] = {
        {"bomb without line ends", Compressed(std::string(kBombSize, 'x')),
         std::to_string(kLineTooLong | kRefused) + " ReadLine:",
         TWinSocket::kMaxLineLength + TLineBuffer::kDefaultCapacity, SocketState::Idle},
        {"bomb of short lines", Compressed(std::string(kBombSize / 64, '\n')), "no error",
         TLineBuffer::kDefaultCapacity, SocketState::Connected},
        {"not deflate", "\xff\xff\xff\xff junk", corrupt, 0, SocketState::Idle},
        {"bytes after the end", Compressed("200 ok\r\n", Z_FINISH) + "more", corrupt,
         TLineBuffer::kDefaultCapacity, SocketState::Idle},
    };
    for (const auto& c : cases) {
        EXPECT_LT(c.bytes.size(), kBombSize / 512) << c.name;
        LoopbackPeer peer = Sender(c.bytes);
        Client client(peer);
        client.socket.StartCompression();
        std::string line;
        EXPECT_THAT(RaisedBy([&] {
                        for (int n = 0; n < 1000; ++n) client.socket.ReadLine(line);
                    }),
                    StartsWith(c.raised))
            << c.name;
        EXPECT_LE(client.received, c.mostInflated) << c.name;
        EXPECT_EQ(client.socket.State(), c.state) << c.name;
        client.socket.SocketClose();
    }
}

}  // namespace
}  // namespace kestrova
