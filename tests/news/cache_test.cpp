#include "news/cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/streams.h"

namespace kestrova {
namespace {

using namespace std::string_literals;

constexpr double kHour = 1.0 / 24;
constexpr double kMillisecond = 1.0 / 86400000;
constexpr double kNow = 45000.5;  // 2023-03-15 12:00

using Texts = std::vector<std::string>;

Texts Keys(const TCache& cache) {
    Texts keys;
    for (const TCacheEntry& entry : cache.Entries()) keys.push_back(entry.Key);
    return keys;
}

void PutText(TCache& cache, const std::string& key, const std::string& data, bool permanent) {
    cache.Put(key, data.data(), permanent, static_cast<uint32_t>(data.size()));
}

std::string GetText(TCache& cache, const std::string& key) {
    std::vector<char> data;
    if (!cache.Get(key, data)) return "<absent>";
    return std::string(data.begin(), data.end());
}

std::string Image(const TCache& cache) {
    TMemoryStream stream;
    cache.SaveToStream(stream);
    return std::string(stream.Memory(), static_cast<size_t>(stream.Size()));
}

// A memory stream that remembers the largest single read asked of it.
struct WatchedStream : TMemoryStream {
    int64_t Read(void* buffer, int64_t count) override {
        largestRead = std::max(largestRead, count);
        return TMemoryStream::Read(buffer, count);
    }
    int64_t largestRead = 0;
};

void Load(TCache& cache, const std::string& image) {
    WatchedStream stream;
    stream.WriteText(image);
    stream.SetPosition(0);
    cache.LoadFromStream(stream);
    // No read (and so no buffer) larger than the image, beyond the fixed-size header.
    EXPECT_LE(stream.largestRead,
              std::max<int64_t>(static_cast<int64_t>(image.size()), TCache::kFileHeaderSize));
}

std::string U32(size_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(value >> (8 * i));
    return bytes;
}

TEST(CacheFileTest, WritesTheExactLayout) {
    double now = 1.5;
    TCache cache(TCache::kUnlimited, 0, [&] { return now; });
    PutText(cache, "ab", "xyz", false);
    const std::string expected =
        "TWC\x08\x01\x1F\0\0\0"s  // magic, 264, size 31
        "\x03\0\0\0\x03\0\0\0"s   // key length + 1, data size
        "\0\0\0\0\0\0\xF8\x3F"s   // stamp 1.5
        "ab\0xyz"s;               // key with NUL, data
    EXPECT_EQ(Image(cache), expected);
    EXPECT_EQ(Image(TCache(TCache::kUnlimited, 0)), "TWC\x08\x01\x09\0\0\0"s);
}

// A foreign header leaves the cache as it was; a damaged entry empties it, without a buffer
// larger than the image (see Load). Cut at every byte with the size field telling the truth,
// the load gives the complete entries at an entry boundary, else an empty cache.
TEST(CacheFileTest, DamagedImagesLeaveTheCacheUnchangedOrEmpty) {
    TCache source(TCache::kUnlimited, 0);
    PutText(source, "group", "index", false);
    const std::string good = Image(source);
    const size_t key = TCache::kFileHeaderSize, data = key + 4, npos = std::string::npos;
    // Each case writes bytes at an offset, cuts the image to a length and keeps the cache or not.
    const std::tuple<const char*, size_t, std::string, size_t, bool> cases[] = {
        {"size one byte over", 5, U32(good.size() + 1), npos, true},
        {"size one byte under", 5, U32(good.size() - 1), npos, true},
        {"version 263", 3, "\x07", npos, true},
        {"short header", 0, "", 8, true},
        {"empty", 0, "", 0, true},
        {"key length 4 GB", key, U32(0xFFFFFFFF), npos, false},
        {"data size 4 GB", data, U32(0xFFFFFFFF), npos, false},
        {"key length one past the end", key, U32(good.size() - 24), npos, false},
        {"data size one past the end", data, U32(6), npos, false},
        {"key length 0", key, U32(0), npos, false},
        {"data size 2 GB", data, U32(0x80000000), npos, false},
        {"empty key", key + TCache::kEntryHeadSize, "\0"s, npos, false},
    };
    for (const auto& [name, at, bytes, length, kept] : cases) {
        std::string image = good;
        image.replace(at, bytes.size(), bytes);
        image.resize(std::min(length, image.size()));
        TCache cache(TCache::kUnlimited, 0);
        PutText(cache, "before", "x", true);
        Load(cache, image);
        EXPECT_EQ(Keys(cache), kept ? Texts{"before"} : Texts{}) << name;
    }

    PutText(source, "second", "defgh", false);
    const std::string full = Image(source);
    for (size_t length = TCache::kFileHeaderSize; length < full.size(); ++length) {
        const std::string image = full.substr(0, 5) + U32(length) + full.substr(9, length - 9);
        TCache cache(TCache::kUnlimited, 0);
        PutText(cache, "before", "x", true);
        Load(cache, image);
        Texts expected;
        if (length == TCache::kFileHeaderSize) expected = {"before"};
        if (length == good.size()) expected = {"before", "group"};
        EXPECT_EQ(Keys(cache), expected) << "length " << length;
    }
}

TEST(CacheLifeTest, ExpiryFollowsTheLifeTime) {
    const std::tuple<int, double, bool> cases[] = {
        {0, 365 * 24 * kHour, true}, {24, 25 * kHour, false},
        {24, 24 * kHour, true},      {24, 24 * kHour + kMillisecond, false},
        {-5, 25 * kHour, true},      {1, 0, true},
    };
    for (const auto& [lifeHours, age, found] : cases) {
        // The index is stored by one session and read back from its file by a later one.
        double now = kNow - age;
        TCache earlier(TCache::kUnlimited, lifeHours, [&] { return now; });
        PutText(earlier, ".", "groups", true);
        PutText(earlier, "comp.lang.c", "index", false);
        now = kNow;
        TCache later(TCache::kUnlimited, lifeHours, [&] { return now; });
        Load(later, Image(earlier));
        EXPECT_EQ(GetText(later, "comp.lang.c") == "index", found)
            << lifeHours << " h, age " << age * 24 << " h";
        EXPECT_EQ(GetText(later, "."), "groups") << "the permanent group list never expires";
        EXPECT_EQ(Keys(later).front(), "comp.lang.c") << "an expired entry stays in place";
        later.SetStamp(0, std::nan(""));  // a damaged stamp counts as expired
        EXPECT_EQ(GetText(later, "comp.lang.c") == "index", lifeHours <= 0) << lifeHours;
    }
}

TEST(CacheOrderTest, UseMovesAnEntryToTheEndAndAFullCacheDropsTheFirst) {
    TCache cache(3, 0);
    for (const char* key : {"a", "b", "c"}) PutText(cache, key, key, false);
    EXPECT_EQ(GetText(cache, "a"), "a");
    PutText(cache, "b", "new", false);
    EXPECT_EQ(Keys(cache), (Texts{"c", "a", "b"}));
    EXPECT_EQ(GetText(cache, "B"), "<absent>");
    PutText(cache, "d", "d", false);  // full: the least recently used goes
    EXPECT_EQ(Keys(cache), (Texts{"a", "b", "d"}));
    EXPECT_EQ(cache.Put("", "x", false, 1), -1);
    EXPECT_EQ(cache.Put("e", nullptr, false, 0), -1);
    cache.Delete("b");
    EXPECT_EQ(Keys(cache), (Texts{"a", "d"}));
}

TEST(CacheTakeTest, TakeRemovesTheEntryAndLeavesASaveInProgressItsData) {
    double now = kNow;
    TCache cache(TCache::kUnlimited, 24, [&] { return now; });
    PutText(cache, "a", "index a", false);
    PutText(cache, "b", "index b", false);
    const std::vector<TCacheEntry> saving = cache.Entries();  // what a save in progress holds

    std::vector<char> data;
    double stamp = 0;
    ASSERT_TRUE(cache.Take("a", data, stamp));
    EXPECT_EQ(std::string(data.begin(), data.end()), "index a");
    EXPECT_EQ(stamp, kNow);
    EXPECT_EQ(Keys(cache), (Texts{"b"}));
    data.push_back('!');  // changed in place by the taker
    EXPECT_EQ(std::string(saving[0].Data->begin(), saving[0].Data->end()), "index a");

    // Put back unchanged later, it keeps its age: the life time counts from when it was stored.
    now = kNow + 25 * kHour;
    cache.SetStamp(cache.Put("a", std::move(data), false), stamp);
    EXPECT_EQ(GetText(cache, "a"), "<absent>");
    EXPECT_FALSE(cache.Take("a", data, stamp)) << "an expired entry cannot be taken";
    EXPECT_FALSE(cache.Take("missing", data, stamp));
}

}  // namespace
}  // namespace kestrova
