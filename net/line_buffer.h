// Bytes received ahead of the reader, and the module's line-end rules over them. One receive
// fills many lines; a line is handed out without its end, and bytes after a line end stay here
// for the next read.
//
// Line ends (Any): CR LF and LF CR are one end each, CR CR is two, a lone CR or LF is one. A NUL
// inside a line reads as a space. A line end that was the last byte received is still paired with
// its partner when that arrives first in the next receive, so the lines never depend on how the
// stream was split.
//
// Line ends (LfOnly), for data kept byte for byte: only LF ends a line, together with a CR right
// before it; a NUL or a lone CR stays in the line.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kestrova {

class TLineBuffer {
  public:
    static constexpr size_t kDefaultCapacity = 64 * 1024;

    explicit TLineBuffer(size_t capacity = kDefaultCapacity) : data_(capacity) {}

    bool Empty() const { return begin_ == end_; }
    size_t Size() const { return end_ - begin_; }

    // Where the next receive goes, and how much fits there.
    char* Space();
    size_t SpaceSize() const { return data_.size() - end_; }
    // Appends the count bytes just received at Space().
    void Commit(size_t count);

    // Copies up to count bytes out; peek leaves them in place.
    size_t Take(void* out, size_t count, bool peek);

    struct LinePart {
        bool ended = false;  // the line end was found (and taken)
        size_t taken = 0;    // bytes taken, the line end included
    };
    enum class LineEnds { Any, LfOnly };
    // Appends the bytes up to the next line end (or all of them when there is none) to line,
    // which holds the parts of the line taken before.
    LinePart TakeLinePart(std::string& line, LineEnds ends = LineEnds::Any);

    void Clear();

  private:
    LinePart TakeLfLinePart(std::string& line, const unsigned char* first,
                            const unsigned char* last);

    std::vector<char> data_;
    size_t begin_ = 0;
    size_t end_ = 0;
    char partner_ = 0;  // CR or LF still to be joined to the last line end, 0 for none
};

}  // namespace kestrova
