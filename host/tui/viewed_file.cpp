#include "host/tui/viewed_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "host/host_error.h"

namespace kestrova::host::tui {

ViewedFile::ViewedFile(const std::string& nativePath) {
    fd_ = open(nativePath.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd_ < 0 || fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        const std::string reason = fd_ < 0 ? std::strerror(errno) : "not a regular file";
        if (fd_ >= 0) close(fd_);
        throw HostError("cannot view " + nativePath + ": " + reason);
    }
    size_ = static_cast<uint64_t>(info.st_size);
}

ViewedFile::~ViewedFile() {
    close(fd_);
}

bool ViewedFile::Load(uint64_t offset) {
    if (offset >= blockStart_ && offset < blockStart_ + block_.size()) return true;
    if (offset >= size_) return false;
    block_.resize(kBlockSize);
    ssize_t got;
    do got = pread(fd_, block_.data(), kBlockSize, static_cast<off_t>(offset));
    while (got < 0 && errno == EINTR);
    block_.resize(got > 0 ? static_cast<size_t>(got) : 0);
    blockStart_ = offset;
    return !block_.empty();
}

uint64_t ViewedFile::ReadLine(uint64_t offset, std::string* bytes) {
    if (bytes) bytes->clear();
    size_t taken = 0;
    while (taken < kLongestLine && Load(offset)) {
        const char* start = block_.data() + (offset - blockStart_);
        const size_t available = block_.size() - (offset - blockStart_);
        const size_t room = std::min(available, kLongestLine - taken);
        const void* lf = std::memchr(start, '\n', room);
        const size_t length = lf ? static_cast<const char*>(lf) - start : room;
        if (bytes) bytes->append(start, length);
        offset += length;
        taken += length;
        if (lf) {
            if (bytes && !bytes->empty() && bytes->back() == '\r') bytes->pop_back();
            return offset + 1;
        }
    }
    return offset;
}

bool ViewedFile::Seek(size_t n, uint64_t& offset) {
    size_t checkpoint = n / kCheckpointEvery;
    // Walk on from the last checkpoint known, recording new ones, up to the wanted one.
    while (checkpoint >= checkpoints_.size() && !complete_) {
        uint64_t at = checkpoints_.back();
        size_t line = (checkpoints_.size() - 1) * kCheckpointEvery;
        for (size_t i = 0; i < kCheckpointEvery && at < size_; ++i, ++line)
            at = ReadLine(at, nullptr);
        if (at >= size_) {
            complete_ = true;
            lineCount_ = line;
        }
        checkpoints_.push_back(at);  // at the end: the start of a line past the last, never read
    }
    if (complete_ && n > lineCount_) return false;
    if (checkpoint >= checkpoints_.size()) return false;
    // Reading on from the line found last is shorter when walking down the file.
    size_t line = checkpoint * kCheckpointEvery;
    offset = checkpoints_[checkpoint];
    if (lastLine_ <= n && lastLine_ > line) {
        line = lastLine_;
        offset = lastOffset_;
    }
    for (; line < n; ++line) offset = ReadLine(offset, nullptr);
    lastLine_ = n;
    lastOffset_ = offset;
    return true;
}

bool ViewedFile::Line(size_t n, std::string& bytes) {
    uint64_t offset = 0;
    if (!Seek(n, offset) || offset >= size_) return false;
    ReadLine(offset, &bytes);
    return true;
}

uint64_t ViewedFile::LineOffset(size_t n) {
    uint64_t offset = size_;
    return Seek(n, offset) ? offset : size_;
}

size_t ViewedFile::LineCount() {
    uint64_t end = 0;
    Seek(SIZE_MAX, end);  // walks to the end of the file
    return lineCount_;
}

}  // namespace kestrova::host::tui
