// The list blocks kept in the cache: a SYSTEMTIME stamp (UTC), a record count and fixed-size
// records. The group list (key ".") and each group's article index share this layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hostapi/plugin_api.h"

namespace kestrova {

// Little-endian fields of the records; inline, as every record listed reads several.
inline int32_t GetInt32(const char* at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(at[i]);
    return static_cast<int32_t>(value);
}
inline void PutInt32(char* at, int32_t value) {
    auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i, bits >>= 8) at[i] = static_cast<char>(bits & 0xFF);
}

// A decimal number that is the whole of text (an optional sign, then digits) and fits 32 bits;
// fallback otherwise.
int32_t DecimalOr(std::string_view text, int32_t fallback);

// Copies text into a NUL-terminated field of fieldSize bytes, cut to fieldSize - 1 bytes.
void PutField(char* field, size_t fieldSize, std::string_view text);
// The text of a field up to its first NUL (or its whole size when it has none).
std::string_view GetField(const char* field, size_t fieldSize);

// The most records a list takes from a server (groups of a group list, articles of an index):
// far above any real server, so that an endless listing ends instead of filling the memory.
inline constexpr int64_t kMaxListRecords = 4'000'000;

class TListBlock {
  public:
    static constexpr size_t kStampSize = 16;
    static constexpr size_t kHeaderSize = 20;

    // An empty block: zero stamp, no records.
    explicit TListBlock(size_t recordSize);

    // Takes bytes read from the cache. False (and the block left empty) when they are shorter
    // than the header or hold fewer records than their count says; bytes past the counted
    // records are dropped.
    bool Assign(std::vector<char> bytes);

    uint32_t Count() const { return static_cast<uint32_t>(GetInt32(bytes_.data() + kStampSize)); }
    SYSTEMTIME Stamp() const;
    void SetStamp(const SYSTEMTIME& stamp);

    char* Record(size_t index) { return bytes_.data() + kHeaderSize + index * recordSize_; }
    const char* Record(size_t index) const {
        return bytes_.data() + kHeaderSize + index * recordSize_;
    }
    // Inserts a copy of record before index (index Count() appends).
    void Insert(size_t index, const char* record);
    void Append(const char* record) { Insert(Count(), record); }
    // Makes room for records records in all, so that appending up to them moves nothing.
    void Reserve(size_t records) { bytes_.reserve(kHeaderSize + records * recordSize_); }
    // Sets the record count: records past the old count are zero-filled, those past the new
    // one dropped.
    void Resize(size_t records);

    const std::vector<char>& Bytes() const { return bytes_; }
    // Hands the bytes over, leaving the block empty.
    std::vector<char> TakeBytes() && { return std::move(bytes_); }
    size_t RecordSize() const { return recordSize_; }

  private:
    void SetCount(uint32_t count);

    size_t recordSize_;
    std::vector<char> bytes_;
};

// The message of a listing cut off at limit records (EInternetError kRefused).
std::string ListTooLongText(int64_t limit);

// The current UTC time as a block stamp.
SYSTEMTIME StampNow();

}  // namespace kestrova
