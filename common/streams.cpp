#include "common/streams.h"

#include <algorithm>
#include <vector>

#include "common/errors.h"

namespace kestrova {

namespace {
constexpr int64_t kCopyBlockSize = 61440;
}

int64_t TStream::Size() {
    int64_t position = Position();
    int64_t size = Seek(0, SeekOrigin::End);
    SetPosition(position);
    return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError(kRefused, "Stream read error", "Read buffer");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count != 0 && Write(buffer, count) != count)
        throw EWriteError(kRefused, WriteErrorText(), "Write buffer");
}

std::string TStream::ReadText() {
    SetPosition(0);
    std::string text(static_cast<size_t>(Size()), '\0');
    ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
    return text;
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    if (count <= 0) return 0;
    std::vector<char> block(static_cast<size_t>(std::min(count, kCopyBlockSize)));
    for (int64_t left = count; left > 0;) {
        int64_t n = std::min(left, kCopyBlockSize);
        source.ReadBuffer(block.data(), n);
        WriteBuffer(block.data(), n);
        left -= n;
    }
    return count;
}

}  // namespace kestrova
