#include "net/line_buffer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace kestrova {

namespace {

// Checks one byte below 14: true for a line end, notes a NUL.
bool IsLineEnd(unsigned char c, bool& hasNul) {
    if (c == '\r' || c == '\n') return true;
    if (c == 0) hasNul = true;
    return false;
}

// The first CR or LF in [p, last), or last; notes whether a NUL comes before it.
const unsigned char* FindLineEnd(const unsigned char* p, const unsigned char* last, bool& hasNul) {
#ifdef __SSE2__
    // Sixteen bytes at a time: the mask marks the bytes up to 13 (NUL, LF and CR among them),
    // i.e. those whose unsigned minimum with 13 is the byte itself.
    const __m128i limit = _mm_set1_epi8(13);
    for (; last - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        for (unsigned mask = static_cast<unsigned>(
                 _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(bytes, limit), bytes)));
             mask != 0; mask &= mask - 1) {
            const int at = __builtin_ctz(mask);
            if (IsLineEnd(p[at], hasNul)) return p + at;
        }
    }
#endif
    for (; p < last; ++p) {
        if (*p <= '\r' && IsLineEnd(*p, hasNul)) return p;
    }
    return last;
}

}  // namespace

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

TLineBuffer::LinePart TLineBuffer::TakeLinePart(std::string& line, LineEnds ends) {
    const auto* first = reinterpret_cast<const unsigned char*>(data_.data() + begin_);
    const auto* last = reinterpret_cast<const unsigned char*>(data_.data() + end_);
    if (ends == LineEnds::LfOnly) return TakeLfLinePart(line, first, last);
    bool hasNul = false;
    const unsigned char* p = FindLineEnd(first, last, hasNul);
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

TLineBuffer::LinePart TLineBuffer::TakeLfLinePart(std::string& line, const unsigned char* first,
                                                  const unsigned char* last) {
    const auto* lf = static_cast<const unsigned char*>(
        std::memchr(first, '\n', static_cast<size_t>(last - first)));
    LinePart part;
    part.ended = lf != nullptr;
    if (!lf) lf = last;
    line.append(reinterpret_cast<const char*>(first), static_cast<size_t>(lf - first));
    // The CR of a CR LF may have come in an earlier part of the line.
    if (part.ended && !line.empty() && line.back() == '\r') line.pop_back();
    part.taken = static_cast<size_t>(lf - first) + (part.ended ? 1 : 0);
    begin_ += part.taken;
    return part;
}

void TLineBuffer::Clear() {
    begin_ = end_ = 0;
    partner_ = 0;
}

}  // namespace kestrova
