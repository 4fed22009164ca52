// Line reading over any byte stream: the lines must not depend on how the stream was split into
// receives, and no line may carry a CR, an LF or a NUL. The first byte chooses the piece size.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "net/line_buffer.h"

namespace {

std::vector<std::string> Lines(const uint8_t* data, size_t size, size_t piece) {
    kestrova::TLineBuffer buffer(64);
    std::vector<std::string> lines;
    std::string current;
    for (size_t at = 0; at < size;) {
        const size_t n = std::min({piece, buffer.SpaceSize(), size - at});
        std::memcpy(buffer.Space(), data + at, n);
        buffer.Commit(n);
        at += n;
        while (!buffer.Empty()) {
            if (buffer.TakeLinePart(current).ended) {
                lines.push_back(current);
                current.clear();
            }
        }
    }
    lines.push_back(current);
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t piece = 1 + data[0] % 17;
    const std::vector<std::string> whole = Lines(data + 1, size - 1, size);
    if (Lines(data + 1, size - 1, piece) != whole) abort();
    for (const std::string& line : whole) {
        if (line.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) abort();
    }
    return 0;
}
