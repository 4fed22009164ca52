// Line reading over any byte stream: the lines must not depend on how the stream was split into
// receives, and no line may carry a CR, an LF or a NUL. The first byte chooses the piece size.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "net/line_feeder.h"

namespace {

std::vector<std::string> Lines(const uint8_t* data, size_t size, size_t piece) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> pieces;
    for (size_t at = 0; at < size; at += piece) pieces.push_back(bytes.substr(at, piece));
    kestrova::testing::TFedLines fed = kestrova::testing::FeedInPieces(pieces, 64);
    fed.lines.push_back(fed.rest);
    return fed.lines;
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
