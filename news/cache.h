// A small keyed store of byte blocks with a life time: the server's group list (key ".") and the
// header index of each listed group (key = group name). Entries are kept from least to most
// recently used; a look-up moves its entry to the end, and a full store drops the first one.
// The whole store is saved to and loaded from one "TWC" file per account.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

class TStream;

struct TCacheEntry {
    std::string Key;
    // Size is Data->size(). Never changed once stored, so a save in progress can share it.
    std::shared_ptr<const std::vector<char>> Data;
    // When the entry was stored: days since 1899-12-30 (local time); 0 for a permanent entry.
    double Stamp = 0;
};

class TCache {
  public:
    // The current local date-time in days since 1899-12-30; tests replace it.
    using DateTimeClock = std::function<double()>;

    static constexpr int kUnlimited = 2147483647;
    static constexpr uint16_t kFileVersion = 264;
    static constexpr int kFileHeaderSize = 9;
    static constexpr int kEntryHeadSize = 16;

    // maxCount below 1 is taken as 1; lifeHours 0 or less: nothing expires.
    TCache(int maxCount, int lifeHours, DateTimeClock now = {});
    ~TCache() { Clear(); }
    TCache(const TCache&) = delete;
    TCache& operator=(const TCache&) = delete;

    // A copy of the data of key; false when absent, when key is empty, or when an expiring
    // entry is older than the life time (it then stays where it is). A hit moves the entry to
    // the end of the order.
    bool Get(std::string_view key, std::vector<char>& data);
    // Like Get, but the entry leaves the cache and its data is moved into data instead of
    // copied (copied only while a save in progress shares it); stamp receives the entry's
    // stamp, so that an unchanged block can be put back as it was (Put, then SetStamp).
    bool Take(std::string_view key, std::vector<char>& data, double& stamp);
    // Stores a copy of size bytes of data under key, replacing an entry of the same key, at the
    // end of the order; permanent entries get stamp 0, others the current time. Returns the
    // entry's index, or -1 (nothing changed) for an empty key or no data.
    int Put(std::string_view key, const void* data, bool permanent, uint32_t size);
    // The same with data taken over instead of copied; -1 (nothing changed) for an empty key.
    int Put(std::string_view key, std::vector<char> data, bool permanent);
    void Delete(std::string_view key);
    // Whether an entry of key is stored (expired or not); the order does not change.
    bool Has(std::string_view key) const;
    void Clear();

    // Replaces the stream's content with the file image: header, then every entry in order.
    // Raises the stream's write errors.
    void SaveToStream(TStream& stream) const { SaveToStream(stream, entries_); }
    // The same for entries taken from a cache earlier (see Entries; copying them shares the
    // data), so that a copy can be written while the cache goes on changing.
    static void SaveToStream(TStream& stream, const std::vector<TCacheEntry>& entries);
    // Adds the entries of a file image, keeping their order and stamps. A header that is short,
    // of another version or with a size field other than the stream's size leaves the cache
    // unchanged; a damaged entry (short, a length past the end of the stream, an empty key)
    // clears the whole cache. Never raises; never allocates more than the stream holds. False
    // when the image was not read whole (any of the above, or a stream that cannot be read).
    bool LoadFromStream(TStream& stream);

    int Count() const { return static_cast<int>(entries_.size()); }
    int Capacity() const { return capacity_; }
    int MaxCount() const { return maxCount_; }
    int64_t LifeTime() const { return lifeTime_; }  // milliseconds; 0 or less: no expiry
    const std::vector<TCacheEntry>& Entries() const { return entries_; }
    // Replaces the stamp of entry index (as loading a file does).
    void SetStamp(int index, double stamp) {
        entries_.at(static_cast<size_t>(index)).Stamp = stamp;
    }

  private:
    int IndexOf(std::string_view key) const;  // searched from the most recently used end
    bool Expired(const TCacheEntry& entry) const;
    void LoadEntries(TStream& stream, int64_t size);

    std::vector<TCacheEntry> entries_;
    int capacity_ = 0;
    int maxCount_;
    int64_t lifeTime_;
    DateTimeClock now_;
};

}  // namespace kestrova
