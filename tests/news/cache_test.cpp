#include "news/cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "common/streams.h"

namespace kestrova {
namespace {

using namespace std::string_literals;

constexpr double kHour = 1.0 / 24;
constexpr double kMillisecond = 1.0 / 86400000;
constexpr double kNow = 45000.5;  // 2023-03-15 12:00

// A clock the test moves by hand.
struct ManualClock {
    double now = kNow;
    TCache::DateTimeClock Clock() {
        return [this] { return now; };
    }
};

std::vector<std::string> Keys(const TCache& cache) {
    std::vector<std::string> keys;
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
class WatchedStream : public TMemoryStream {
  public:
    explicit WatchedStream(const std::string& bytes) {
        WriteText(bytes);
        SetPosition(0);
    }
    int64_t Read(void* buffer, int64_t count) override {
        largestRead = std::max(largestRead, count);
        return TMemoryStream::Read(buffer, count);
    }
    int64_t largestRead = 0;
};

void Load(TCache& cache, const std::string& image) {
    WatchedStream stream(image);
    cache.LoadFromStream(stream);
    // No read (and so no buffer) larger than the image, beyond the fixed-size header.
    EXPECT_LE(stream.largestRead,
              std::max<int64_t>(static_cast<int64_t>(image.size()), TCache::kFileHeaderSize));
}

void SetU32(std::string& image, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) image[at + i] = static_cast<char>(value >> (8 * i));
}

TEST(CacheFileTest, WritesTheExactLayout) {
    ManualClock clock{1.5};
    TCache cache(TCache::kUnlimited, 0, clock.Clock());
    PutText(cache, "ab", "xyz", false);
    const std::string expected =
        "TWC\x08\x01\x1F\0\0\0"s  // magic, 264, size 31
        "\x03\0\0\0\x03\0\0\0"s   // key length + 1, data size
        "\0\0\0\0\0\0\xF8\x3F"s   // stamp 1.5
        "ab\0xyz"s;               // key with NUL, data
    EXPECT_EQ(Image(cache), expected);
    EXPECT_EQ(Image(TCache(TCache::kUnlimited, 0)), "TWC\x08\x01\x09\0\0\0"s);
}

TEST(CacheFileTest, RoundTripKeepsKeysOrderStampsAndData) {
    ManualClock clock;
    TCache written(TCache::kUnlimited, 24, clock.Clock());
    PutText(written, ".", "group list", true);
    clock.now -= 3 * kHour;
    PutText(written, "comp.lang.c", std::string(3000, '\x81'), false);
    clock.now -= 2 * kHour;
    PutText(written, "alt.test", "", false);
    PutText(written, "fido7.ru.nntp", "headers\0more"s, false);
    std::vector<char> ignored;
    ASSERT_TRUE(written.Get(".", ignored));  // moves the group list to the end

    TCache read(TCache::kUnlimited, 24, clock.Clock());
    Load(read, Image(written));
    ASSERT_EQ(Keys(read), Keys(written));
    EXPECT_EQ(Keys(read),
              (std::vector<std::string>{"comp.lang.c", "alt.test", "fido7.ru.nntp", "."}));
    for (int i = 0; i < read.Count(); ++i) {
        EXPECT_EQ(read.Entries()[i].Stamp, written.Entries()[i].Stamp) << i;
        EXPECT_EQ(*read.Entries()[i].Data, *written.Entries()[i].Data) << i;
    }
    EXPECT_EQ(read.Entries().back().Stamp, 0.0);
}

TEST(CacheFileTest, ForeignHeadersLeaveTheCacheUnchanged) {
    TCache source(TCache::kUnlimited, 0);
    PutText(source, "group", "index", false);
    const std::string good = Image(source);
    struct Case {
        const char* name;
        std::string image;
    };
    std::string sizeAbove = good, sizeBelow = good, version = good;
    SetU32(sizeAbove, 5, static_cast<uint32_t>(good.size() + 1));
    SetU32(sizeBelow, 5, static_cast<uint32_t>(good.size() - 1));
    version[3] = '\x07';
    const Case cases[] = {{"size one byte over", sizeAbove},
                          {"size one byte under", sizeBelow},
                          {"version 263", version},
                          {"short header", good.substr(0, 8)},
                          {"empty", ""}};
    for (const Case& c : cases) {
        TCache cache(TCache::kUnlimited, 0);
        PutText(cache, "kept", "1", true);
        Load(cache, c.image);
        EXPECT_EQ(Keys(cache), std::vector<std::string>{"kept"}) << c.name;
    }
}

// Cut after every byte, with the size field telling the truth: the load gives either the
// entries that are complete (at an entry boundary) or an empty cache, never a part of an entry.
TEST(CacheFileTest, TruncatedFilesClearTheCache) {
    TCache source(TCache::kUnlimited, 0);
    PutText(source, "first", "abc", false);
    PutText(source, "second", "defgh", false);
    const std::string full = Image(source);
    const size_t firstEnd = TCache::kFileHeaderSize + TCache::kEntryHeadSize + 6 + 3;
    for (size_t length = TCache::kFileHeaderSize; length < full.size(); ++length) {
        std::string image = full.substr(0, length);
        SetU32(image, 5, static_cast<uint32_t>(length));
        TCache cache(TCache::kUnlimited, 0);
        PutText(cache, "before", "x", true);
        Load(cache, image);
        std::vector<std::string> expected;
        if (length == TCache::kFileHeaderSize) expected = {"before"};
        if (length == firstEnd) expected = {"before", "first"};
        EXPECT_EQ(Keys(cache), expected) << "length " << length;
    }
}

TEST(CacheFileTest, HostileLengthsClearTheCacheWithoutAllocating) {
    TCache source(TCache::kUnlimited, 0);
    PutText(source, "group", "index", false);
    const std::string good = Image(source);
    const size_t keyField = TCache::kFileHeaderSize, dataField = keyField + 4;
    struct Case {
        const char* name;
        size_t field;
        uint32_t value;
    };
    const Case cases[] = {
        {"key length 4 GB", keyField, 0xFFFFFFFF},
        {"data size 4 GB", dataField, 0xFFFFFFFF},
        {"key length one past the end", keyField, static_cast<uint32_t>(good.size() - 24)},
        {"data size one past the end", dataField, 6},
        {"key length 0", keyField, 0},
        {"data size 2 GB", dataField, 0x80000000},
    };
    for (const Case& c : cases) {
        std::string image = good;
        SetU32(image, c.field, c.value);
        TCache cache(TCache::kUnlimited, 0);
        PutText(cache, "before", "x", true);
        Load(cache, image);
        EXPECT_EQ(cache.Count(), 0) << c.name;
    }
}

TEST(CacheFileTest, EmptyKeyClearsTheCache) {
    TCache source(TCache::kUnlimited, 0);
    PutText(source, "group", "index", false);
    std::string image = Image(source);
    image[TCache::kFileHeaderSize + TCache::kEntryHeadSize] = '\0';
    TCache cache(TCache::kUnlimited, 0);
    PutText(cache, "before", "x", true);
    Load(cache, image);
    EXPECT_EQ(cache.Count(), 0);
}

TEST(CacheLifeTest, ExpiryFollowsTheLifeTime) {
    struct Case {
        int lifeHours;
        double age;
        bool found;
    };
    const Case cases[] = {
        {0, 365 * 24 * kHour, true}, {24, 25 * kHour, false},
        {24, 24 * kHour, true},      {24, 24 * kHour + kMillisecond, false},
        {-5, 25 * kHour, true},      {1, 0, true},
    };
    for (const Case& c : cases) {
        // The index is stored by one session and read back from its file by a later one.
        ManualClock clock;
        clock.now = kNow - c.age;
        TCache earlier(TCache::kUnlimited, c.lifeHours, clock.Clock());
        PutText(earlier, ".", "groups", true);
        PutText(earlier, "comp.lang.c", "index", false);
        clock.now = kNow;
        TCache later(TCache::kUnlimited, c.lifeHours, clock.Clock());
        Load(later, Image(earlier));
        EXPECT_EQ(GetText(later, "comp.lang.c") == "index", c.found)
            << c.lifeHours << " h, age " << c.age * 24 << " h";
        EXPECT_EQ(GetText(later, "."), "groups") << "the permanent group list never expires";
        EXPECT_EQ(Keys(later).front(), "comp.lang.c") << "an expired entry stays in place";
    }
}

TEST(CacheLifeTest, DamagedStampCountsAsExpired) {
    TCache cache(TCache::kUnlimited, 24);
    PutText(cache, "group", "index", false);
    cache.SetStamp(0, std::nan(""));
    EXPECT_EQ(GetText(cache, "group"), "<absent>");
}

TEST(CacheOrderTest, GetAndPutMoveTheEntryToTheEnd) {
    TCache cache(TCache::kUnlimited, 0);
    for (const char* key : {"a", "b", "c", "d"}) PutText(cache, key, key, false);
    EXPECT_EQ(GetText(cache, "b"), "b");
    EXPECT_EQ(Keys(cache), (std::vector<std::string>{"a", "c", "d", "b"}));
    PutText(cache, "c", "new", false);
    EXPECT_EQ(Keys(cache), (std::vector<std::string>{"a", "d", "b", "c"}));
    EXPECT_EQ(GetText(cache, "c"), "new");
    EXPECT_EQ(GetText(cache, "C"), "<absent>");
    cache.Delete("d");
    EXPECT_EQ(Keys(cache), (std::vector<std::string>{"a", "b", "c"}));
    cache.Clear();
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(cache.Capacity(), 0);
}

TEST(CacheTakeTest, TakeRemovesTheEntryAndLeavesASaveInProgressItsData) {
    ManualClock clock;
    TCache cache(TCache::kUnlimited, 24, clock.Clock());
    PutText(cache, "a", "index a", false);
    PutText(cache, "b", "index b", false);
    const std::vector<TCacheEntry> saving = cache.Entries();  // what a save in progress holds

    std::vector<char> data;
    double stamp = 0;
    ASSERT_TRUE(cache.Take("a", data, stamp));
    EXPECT_EQ(std::string(data.begin(), data.end()), "index a");
    EXPECT_EQ(stamp, kNow);
    EXPECT_EQ(Keys(cache), (std::vector<std::string>{"b"}));
    data.push_back('!');  // changed in place by the taker
    EXPECT_EQ(std::string(saving[0].Data->begin(), saving[0].Data->end()), "index a");

    // Put back unchanged later, it keeps its age: the life time counts from when it was stored.
    clock.now = kNow + 25 * kHour;
    cache.SetStamp(cache.Put("a", std::move(data), false), stamp);
    EXPECT_EQ(GetText(cache, "a"), "<absent>");
    EXPECT_FALSE(cache.Take("a", data, stamp)) << "an expired entry cannot be taken";
    EXPECT_FALSE(cache.Take("missing", data, stamp));
}

TEST(CacheOrderTest, FullCacheDropsTheLeastRecentlyUsed) {
    TCache cache(2, 0);
    PutText(cache, "a", "1", false);
    PutText(cache, "b", "2", false);
    EXPECT_EQ(GetText(cache, "a"), "1");
    PutText(cache, "c", "3", false);
    EXPECT_EQ(Keys(cache), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(cache.Capacity(), 2);
}

TEST(CacheOrderTest, RefusedPutKeepsEverything) {
    TCache cache(2, 0);
    PutText(cache, "a", "1", false);
    PutText(cache, "b", "2", false);
    EXPECT_EQ(cache.Put("", "x", false, 1), -1);
    EXPECT_EQ(cache.Put("c", nullptr, false, 0), -1);
    EXPECT_EQ(Keys(cache), (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace kestrova
