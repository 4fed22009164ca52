// A connection's compression once both sides agreed on it: raw deflate (no header, a 32 KiB
// window) in each direction. Every block sent is flushed to a byte boundary, so the peer can
// read a command as soon as it went out. Received bytes are inflated only as far as the reader
// makes room, so a small stream that expands enormously never grows past that room.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace kestrova {

// What an inflation step came to.
enum class InflateStep {
    Output,     // bytes came out
    NeedInput,  // everything received is inflated: more bytes from the peer are needed
    Corrupt,    // the stream is not raw deflate (or goes on past its end): see ErrorText
};

class TDeflateStream {
  public:
    // The most compressed bytes held for inflating at a time.
    static constexpr size_t kInputCapacity = 16 * 1024;

    // Raises std::bad_alloc when zlib cannot set itself up.
    TDeflateStream();
    ~TDeflateStream();
    TDeflateStream(const TDeflateStream&) = delete;
    TDeflateStream& operator=(const TDeflateStream&) = delete;

    // Appends size bytes of data, compressed and flushed, to out.
    void Compress(const char* data, size_t size, std::string& out);

    // Where received compressed bytes go; size is set to how many fit there.
    char* InputSpace(size_t& size);
    // Takes the count bytes just put at InputSpace().
    void CommitInput(size_t count);
    // Takes count compressed bytes that were received before compression began.
    void AddInput(const char* data, size_t count);
    // Inflates held bytes into out, at most size of them; produced is set for Output.
    InflateStep Inflate(char* out, size_t size, size_t& produced);
    // Inflate would give bytes without more input.
    bool HasPending() const;
    const std::string& ErrorText() const { return error_; }

  private:
    struct Streams;
    std::unique_ptr<Streams> streams_;
    std::vector<char> input_;
    size_t inputBegin_ = 0;
    size_t inputEnd_ = 0;
    bool outputFull_ = false;  // the last step filled the room: more may be waiting inside zlib
    bool ended_ = false;       // the peer's stream ended; nothing may follow
    std::string error_;
};

}  // namespace kestrova
