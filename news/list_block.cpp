#include "news/list_block.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "common/format_text.h"
#include "platform/clock.h"
#include "platform/utf8.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {

namespace {

constexpr size_t kStampFields = 8;

}  // namespace

int32_t DecimalOr(std::string_view text, int32_t fallback) {
    if (text.starts_with('+')) text.remove_prefix(1);
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return fallback;
    return value;
}

void PutField(char* field, size_t fieldSize, std::string_view text) {
    const size_t length = platform::Utf8PrefixLength(text, fieldSize - 1);
    std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, fieldSize - length);
}

std::string_view GetField(const char* field, size_t fieldSize) {
    return std::string_view(field, strnlen(field, fieldSize));
}

TListBlock::TListBlock(size_t recordSize) : recordSize_(recordSize), bytes_(kHeaderSize, 0) {}

bool TListBlock::Assign(std::vector<char> bytes) {
    bytes_.assign(kHeaderSize, 0);
    if (bytes.size() < kHeaderSize) return false;
    const auto count = static_cast<uint32_t>(GetInt32(bytes.data() + kStampSize));
    if (count > (bytes.size() - kHeaderSize) / recordSize_) return false;
    bytes.resize(kHeaderSize + count * recordSize_);
    bytes_ = std::move(bytes);
    return true;
}

void TListBlock::SetCount(uint32_t count) {
    PutInt32(bytes_.data() + kStampSize, static_cast<int32_t>(count));
}

SYSTEMTIME TListBlock::Stamp() const {
    uint16_t fields[kStampFields];
    for (size_t i = 0; i < kStampFields; ++i) {
        fields[i] = static_cast<uint16_t>(static_cast<unsigned char>(bytes_[2 * i]) |
                                          static_cast<unsigned char>(bytes_[2 * i + 1]) << 8);
    }
    return SYSTEMTIME{fields[0], fields[1], fields[2], fields[3],
                      fields[4], fields[5], fields[6], fields[7]};
}

void TListBlock::SetStamp(const SYSTEMTIME& stamp) {
    const uint16_t fields[kStampFields] = {stamp.wYear,   stamp.wMonth,       stamp.wDayOfWeek,
                                           stamp.wDay,    stamp.wHour,        stamp.wMinute,
                                           stamp.wSecond, stamp.wMilliseconds};
    for (size_t i = 0; i < kStampFields; ++i) {
        bytes_[2 * i] = static_cast<char>(fields[i] & 0xFF);
        bytes_[2 * i + 1] = static_cast<char>(fields[i] >> 8);
    }
}

void TListBlock::Insert(size_t index, const char* record) {
    const size_t at = kHeaderSize + index * recordSize_;
    bytes_.insert(bytes_.begin() + static_cast<ptrdiff_t>(at), record, record + recordSize_);
    SetCount(Count() + 1);
}

void TListBlock::Resize(size_t records) {
    bytes_.resize(kHeaderSize + records * recordSize_);
    SetCount(static_cast<uint32_t>(records));
}

std::string ListTooLongText(int64_t limit) {
    return FormatText(GetMsg(kMsgListTooLong), {limit});
}

SYSTEMTIME StampNow() {
    return platform::NowSystemTime();
}

}  // namespace kestrova
