#include "news/cache.h"

#include <algorithm>
#include <cmath>

#include "platform/clock.h"

namespace kestrova {

namespace {

constexpr int kCapacityStep = 4;
constexpr double kMillisPerDay = 86400000.0;
constexpr int64_t kMillisPerHour = 3600000;

}  // namespace

TCache::TCache(int maxCount, int lifeHours, DateTimeClock now)
    : maxCount_(std::max(maxCount, 1)),
      lifeTime_(static_cast<int64_t>(lifeHours) * kMillisPerHour),
      now_(now ? std::move(now) : DateTimeClock(platform::NowDateTime)) {}

int TCache::IndexOf(std::string_view key) const {
    if (key.empty()) return -1;
    for (int i = Count() - 1; i >= 0; --i) {
        if (entries_[static_cast<size_t>(i)].Key == key) return i;
    }
    return -1;
}

bool TCache::Expired(const TCacheEntry& entry) const {
    if (lifeTime_ <= 0 || entry.Stamp == 0) return false;
    // Both times in whole milliseconds, so the age is exact to the millisecond. A stamp that is
    // not a number (a damaged file) counts as expired: the list is then rebuilt from the server.
    const double age = std::round(now_() * kMillisPerDay) - std::round(entry.Stamp * kMillisPerDay);
    return !(age <= static_cast<double>(lifeTime_));
}

bool TCache::Get(std::string_view key, std::vector<char>& data) {
    const int index = IndexOf(key);
    if (index < 0 || Expired(entries_[static_cast<size_t>(index)])) return false;
    const auto at = entries_.begin() + index;
    std::rotate(at, at + 1, entries_.end());
    data = *entries_.back().Data;
    return true;
}

bool TCache::Take(std::string_view key, std::vector<char>& data, double& stamp) {
    const int index = IndexOf(key);
    if (index < 0 || Expired(entries_[static_cast<size_t>(index)])) return false;
    TCacheEntry& entry = entries_[static_cast<size_t>(index)];
    if (entry.Data.use_count() == 1) {
        // The only owner, and the vector was made non-const (see Put): it can be moved out.
        data = std::move(const_cast<std::vector<char>&>(*entry.Data));
    } else {
        data = *entry.Data;
    }
    stamp = entry.Stamp;
    entries_.erase(entries_.begin() + index);
    return true;
}

int TCache::Put(std::string_view key, const void* data, bool permanent, uint32_t size) {
    // Refused before anything is removed, so that a refused entry never costs another one.
    if (key.empty() || data == nullptr) return -1;
    const char* bytes = static_cast<const char*>(data);
    return Put(key, std::vector<char>(bytes, bytes + size), permanent);
}

int TCache::Put(std::string_view key, std::vector<char> data, bool permanent) {
    if (key.empty()) return -1;
    Delete(key);
    if (Count() == capacity_) {
        const int grown = static_cast<int>(
            std::min<int64_t>(static_cast<int64_t>(capacity_) + kCapacityStep, maxCount_));
        if (grown > capacity_) {
            capacity_ = grown;
            entries_.reserve(static_cast<size_t>(capacity_));
        } else {
            entries_.erase(entries_.begin());
        }
    }
    TCacheEntry entry;
    entry.Key = key;
    entry.Data = std::make_shared<std::vector<char>>(std::move(data));
    entry.Stamp = permanent ? 0.0 : now_();
    entries_.push_back(std::move(entry));
    return Count() - 1;
}

void TCache::Delete(std::string_view key) {
    const int index = IndexOf(key);
    if (index >= 0) entries_.erase(entries_.begin() + index);
}

bool TCache::Has(std::string_view key) const {
    return IndexOf(key) >= 0;
}

void TCache::Clear() {
    entries_.clear();
    entries_.shrink_to_fit();
    capacity_ = 0;
}

}  // namespace kestrova
