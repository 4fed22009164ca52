#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "common/os_error.h"
#include "common/streams.h"

namespace kestrova {

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    int64_t size = static_cast<int64_t>(data_.size());
    if (count <= 0 || position_ >= size) return 0;
    int64_t n = std::min(count, size - position_);
    std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

// Writes nothing (and returns 0) when the memory for the new size cannot be had.
int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    int64_t end = 0;
    if (count <= 0 || __builtin_add_overflow(position_, count, &end)) return 0;
    if (end > static_cast<int64_t>(data_.size())) {
        if (static_cast<uint64_t>(end) > data_.max_size()) return 0;
        try {
            data_.resize(static_cast<size_t>(end));
        } catch (const std::bad_alloc&) {
            return 0;
        }
    }
    std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    return count;
}

// A position beyond the end is allowed (writing there fills the gap with zeros); a negative one
// is refused with -1 and leaves the position as it was.
int64_t TMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
    int64_t base = origin == SeekOrigin::Beginning ? 0
                   : origin == SeekOrigin::Current ? position_
                                                   : static_cast<int64_t>(data_.size());
    int64_t target = 0;
    if (__builtin_add_overflow(base, offset, &target) || target < 0) return -1;
    position_ = target;
    return position_;
}

void TMemoryStream::SetSize(int64_t size) {
    if (size < 0) RaiseOSError(EINVAL);
    if (static_cast<uint64_t>(size) > data_.max_size()) RaiseOSError(ENOMEM);
    try {
        data_.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        RaiseOSError(ENOMEM);
    }
    position_ = std::min(position_, size);
}

}  // namespace kestrova
