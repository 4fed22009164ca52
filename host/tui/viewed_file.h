// A file shown by the viewer, read line by line on demand: only a small block of the file and
// the start of every 64th line are held, so files of any size open at once. A line ends at LF
// (a CR before it is dropped) or after kLongestLine bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrova::host::tui {

class ViewedFile {
  public:
    static constexpr size_t kLongestLine = 4096;

    // Throws HostError when the file cannot be opened.
    explicit ViewedFile(const std::string& nativePath);
    ~ViewedFile();
    ViewedFile(const ViewedFile&) = delete;
    ViewedFile& operator=(const ViewedFile&) = delete;

    uint64_t Size() const { return size_; }
    // Line n without its line break; false when the file has no line n.
    bool Line(size_t n, std::string& bytes);
    // Where line n starts (the file's size for the line after the last).
    uint64_t LineOffset(size_t n);
    // Reads through the file once to count its lines.
    size_t LineCount();

  private:
    static constexpr size_t kCheckpointEvery = 64;
    static constexpr size_t kBlockSize = 65536;

    // Reads the line at offset into bytes (may be null) and returns where the next one starts.
    uint64_t ReadLine(uint64_t offset, std::string* bytes);
    // The block that holds offset; false at the end of the file.
    bool Load(uint64_t offset);
    // Finds line n's start by walking from the nearest checkpoint before it; false past the end.
    bool Seek(size_t n, uint64_t& offset);

    int fd_ = -1;
    uint64_t size_ = 0;
    std::vector<uint64_t> checkpoints_{0};  // the start of lines 0, 64, 128, ...
    bool complete_ = false;                 // checkpoints_ reach the end of the file
    size_t lineCount_ = 0;                  // valid when complete_
    size_t lastLine_ = 0;                   // the line Seek found last, and where it starts
    uint64_t lastOffset_ = 0;
    uint64_t blockStart_ = 0;
    std::string block_;
};

}  // namespace kestrova::host::tui
