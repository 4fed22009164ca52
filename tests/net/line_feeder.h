// Lines read from a line buffer as the socket's ReadLine reads them, with the stream arriving in
// the given pieces, each put in as far as the buffer has room: for the line buffer's test and
// its fuzz target, which both check that the lines do not depend on the pieces.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "net/line_buffer.h"

namespace kestrova::testing {

struct TFedLines {
    std::vector<std::string> lines;  // every line ended by a line end
    std::string rest;                // what came after the last line end
};

inline TFedLines FeedInPieces(const std::vector<std::string_view>& pieces, size_t capacity,
                              TLineBuffer::LineEnds ends = TLineBuffer::LineEnds::Any) {
    TLineBuffer buffer(capacity);
    TFedLines fed;
    for (const std::string_view piece : pieces) {
        for (size_t at = 0; at < piece.size();) {
            const size_t n = std::min(buffer.SpaceSize(), piece.size() - at);
            std::memcpy(buffer.Space(), piece.data() + at, n);
            buffer.Commit(n);
            at += n;
            while (!buffer.Empty()) {
                if (buffer.TakeLinePart(fed.rest, ends).ended) {
                    fed.lines.push_back(fed.rest);
                    fed.rest.clear();
                }
            }
        }
    }
    return fed;
}

}  // namespace kestrova::testing
