#include "net/line_buffer.h"

#include <algorithm>
#include <cstring>

namespace kestrova {

char* TLineBuffer::Space() {
    if (begin_ == end_) {
        begin_ = end_ = 0;
    } else if (begin_ > 0) {
        std::memmove(data_.data(), data_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    return data_.data() + end_;
}

void TLineBuffer::Commit(size_t count) {
    if (count == 0) return;
    // partner_ is only ever set when the buffer ran empty, so the new bytes come first.
    if (partner_ != 0 && data_[end_] == partner_) ++begin_;
    partner_ = 0;
    end_ += count;
}

size_t TLineBuffer::Take(void* out, size_t count, bool peek) {
    const size_t n = std::min(count, Size());
    std::memcpy(out, data_.data() + begin_, n);
    if (!peek) begin_ += n;
    return n;
}

TLineBuffer::LinePart TLineBuffer::TakeLinePart(std::string& line) {
    const auto* first = reinterpret_cast<const unsigned char*>(data_.data() + begin_);
    const auto* last = reinterpret_cast<const unsigned char*>(data_.data() + end_);
    const unsigned char* p = first;
    bool hasNul = false;
    for (; p < last; ++p) {
        const unsigned char c = *p;
        if (c > '\r') continue;  // the fast path: no control byte of interest
        if (c == '\r' || c == '\n') break;
        if (c == 0) hasNul = true;
    }
    const size_t oldSize = line.size();
    line.append(reinterpret_cast<const char*>(first), static_cast<size_t>(p - first));
    if (hasNul)
        std::replace(line.begin() + static_cast<std::ptrdiff_t>(oldSize), line.end(), '\0', ' ');

    LinePart part;
    if (p == last) {
        part.taken = static_cast<size_t>(p - first);
        begin_ = end_;
        return part;
    }
    const unsigned char other = *p == '\r' ? '\n' : '\r';
    size_t terminator = 1;
    if (p + 1 < last) {
        if (p[1] == other) terminator = 2;
    } else {
        partner_ = static_cast<char>(other);
    }
    part.ended = true;
    part.taken = static_cast<size_t>(p - first) + terminator;
    begin_ += part.taken;
    return part;
}

void TLineBuffer::Clear() {
    begin_ = end_ = 0;
    partner_ = 0;
}

}  // namespace kestrova
