#include "net/deflate_stream.h"

#include <zlib.h>

#include <cstring>
#include <new>

namespace kestrova {

namespace {

// Raw deflate: negative window bits mean no zlib header or trailer.
constexpr int kRawWindowBits = -15;
constexpr int kMemoryLevel = 8;
// Room added to the output per compression step; a step that fills it gets more.
constexpr size_t kOutputStep = 4096;

}  // namespace

struct TDeflateStream::Streams {
    z_stream deflate{};
    z_stream inflate{};
    bool deflateReady = false;
    bool inflateReady = false;
    ~Streams() {
        if (deflateReady) deflateEnd(&deflate);
        if (inflateReady) inflateEnd(&inflate);
    }
};

TDeflateStream::TDeflateStream() : streams_(std::make_unique<Streams>()), input_(kInputCapacity) {
    streams_->deflateReady = deflateInit2(&streams_->deflate, Z_DEFAULT_COMPRESSION, Z_DEFLATED,
                                          kRawWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY) == Z_OK;
    streams_->inflateReady = inflateInit2(&streams_->inflate, kRawWindowBits) == Z_OK;
    if (!streams_->deflateReady || !streams_->inflateReady) throw std::bad_alloc();
}

TDeflateStream::~TDeflateStream() = default;

void TDeflateStream::Compress(const char* data, size_t size, std::string& out) {
    z_stream& stream = streams_->deflate;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    stream.avail_in = static_cast<uInt>(size);
    // A sync flush ends on a byte boundary with all input out; it is done once a step leaves
    // room unused.
    do {
        const size_t at = out.size();
        const size_t room = kOutputStep + size;
        out.resize(at + room);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + at);
        stream.avail_out = static_cast<uInt>(room);
        deflate(&stream, Z_SYNC_FLUSH);  // cannot fail on a stream set up and given room
        out.resize(at + room - stream.avail_out);
    } while (stream.avail_out == 0);
}

char* TDeflateStream::InputSpace(size_t& size) {
    if (inputBegin_ > 0) {
        std::memmove(input_.data(), input_.data() + inputBegin_, inputEnd_ - inputBegin_);
        inputEnd_ -= inputBegin_;
        inputBegin_ = 0;
    }
    size = input_.size() - inputEnd_;
    return input_.data() + inputEnd_;
}

void TDeflateStream::CommitInput(size_t count) {
    inputEnd_ += count;
}

void TDeflateStream::AddInput(const char* data, size_t count) {
    size_t size = 0;
    InputSpace(size);
    if (size < count) input_.resize(inputEnd_ + count);
    std::memcpy(input_.data() + inputEnd_, data, count);
    inputEnd_ += count;
}

InflateStep TDeflateStream::Inflate(char* out, size_t size, size_t& produced) {
    produced = 0;
    if (ended_) {
        if (inputBegin_ == inputEnd_) return InflateStep::NeedInput;
        error_ = "data after the end of the compressed stream";
        return InflateStep::Corrupt;
    }
    z_stream& stream = streams_->inflate;
    stream.next_in = reinterpret_cast<Bytef*>(input_.data() + inputBegin_);
    stream.avail_in = static_cast<uInt>(inputEnd_ - inputBegin_);
    stream.next_out = reinterpret_cast<Bytef*>(out);
    stream.avail_out = static_cast<uInt>(size);
    const int result = inflate(&stream, Z_SYNC_FLUSH);
    inputBegin_ = inputEnd_ - stream.avail_in;
    produced = size - stream.avail_out;
    outputFull_ = stream.avail_out == 0;
    if (result == Z_STREAM_END) ended_ = true;
    if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
        error_ = stream.msg != nullptr ? stream.msg : "inflate failed";
        return InflateStep::Corrupt;
    }
    return produced > 0 ? InflateStep::Output : InflateStep::NeedInput;
}

bool TDeflateStream::HasPending() const {
    return outputFull_ || inputBegin_ != inputEnd_;
}

}  // namespace kestrova
