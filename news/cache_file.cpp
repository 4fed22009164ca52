// The cache's file image, all integers little-endian:
//   header  "TWC", version (u16, 264), total size in bytes (u32)
//   entry   key length + 1 (u32), data size (u32), stamp (IEEE double), key and NUL, data
#include <cstring>
#include <exception>

#include "common/streams.h"
#include "news/cache.h"

namespace kestrova {

namespace {

constexpr char kMagic[3] = {'T', 'W', 'C'};

void PutU16(char* at, uint16_t value) {
    at[0] = static_cast<char>(value & 0xFF);
    at[1] = static_cast<char>(value >> 8);
}

void PutU32(char* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutU64(char* at, uint64_t value) {
    for (int i = 0; i < 8; ++i) at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint16_t GetU16(const char* at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(at[0]) | static_cast<uint8_t>(at[1]) << 8);
}

uint32_t GetU32(const char* at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(at[i]);
    return value;
}

uint64_t GetU64(const char* at) {
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(at[i]);
    return value;
}

void WriteHeader(TStream& stream, uint32_t totalSize) {
    char header[TCache::kFileHeaderSize];
    std::memcpy(header, kMagic, sizeof kMagic);
    PutU16(header + 3, TCache::kFileVersion);
    PutU32(header + 5, totalSize);
    stream.WriteBuffer(header, sizeof header);
}

// The damaged-file signal inside LoadEntries; never leaves this file.
struct DamagedEntry {};

}  // namespace

void TCache::SaveToStream(TStream& stream, const std::vector<TCacheEntry>& entries) {
    stream.SetSize(0);
    stream.SetPosition(0);
    WriteHeader(stream, kFileHeaderSize);
    for (const TCacheEntry& entry : entries) {
        char head[kEntryHeadSize];
        uint64_t stampBits;
        std::memcpy(&stampBits, &entry.Stamp, sizeof stampBits);
        PutU32(head, static_cast<uint32_t>(entry.Key.size() + 1));
        PutU32(head + 4, static_cast<uint32_t>(entry.Data->size()));
        PutU64(head + 8, stampBits);
        stream.WriteBuffer(head, sizeof head);
        stream.WriteBuffer(entry.Key.c_str(), static_cast<int64_t>(entry.Key.size() + 1));
        stream.WriteBuffer(entry.Data->data(), static_cast<int64_t>(entry.Data->size()));
    }
    const int64_t size = stream.Size();
    stream.SetPosition(0);
    WriteHeader(stream, static_cast<uint32_t>(size));
}

bool TCache::LoadFromStream(TStream& stream) {
    int64_t size;
    try {
        size = stream.Size();
        stream.SetPosition(0);
        char header[kFileHeaderSize];
        if (stream.Read(header, sizeof header) < kFileHeaderSize) return false;
        if (GetU16(header + 3) != kFileVersion || GetU32(header + 5) != size) return false;
    } catch (const std::exception&) {
        return false;  // an unreadable stream leaves the cache as it was
    }
    try {
        LoadEntries(stream, size);
        return true;
    } catch (...) {
        Clear();
        return false;
    }
}

// Every length is checked against what is left of the stream before anything is allocated for
// it, so a damaged or hostile file costs at most its own size.
void TCache::LoadEntries(TStream& stream, int64_t size) {
    int64_t position = kFileHeaderSize;
    while (position < size) {
        if (size - position < kEntryHeadSize) throw DamagedEntry{};
        char head[kEntryHeadSize];
        stream.ReadBuffer(head, sizeof head);
        position += kEntryHeadSize;
        const uint32_t keyBytes = GetU32(head);
        const uint32_t dataSize = GetU32(head + 4);
        const uint64_t stampBits = GetU64(head + 8);
        if (keyBytes == 0 || keyBytes > size - position) throw DamagedEntry{};
        position += keyBytes;
        if (dataSize > size - position) throw DamagedEntry{};
        position += dataSize;

        std::string key(keyBytes, '\0');
        stream.ReadBuffer(key.data(), keyBytes);
        key.resize(std::strlen(key.c_str()));  // the key ends at its first NUL
        if (key.empty()) throw DamagedEntry{};
        std::vector<char> data(dataSize);
        stream.ReadBuffer(data.data(), dataSize);

        double stamp;
        std::memcpy(&stamp, &stampBits, sizeof stamp);
        SetStamp(Put(key, std::move(data), false), stamp);
    }
}

}  // namespace kestrova
