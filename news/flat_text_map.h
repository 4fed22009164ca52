// A map from texts (views that outlive it, shorter than 4 GiB) to 32-bit values in one
// open-addressing array: no allocation per entry, and a probe compares texts only where 32 bits of
// their hash agree. The thread order looks up hundreds of thousands of Message-IDs and subjects a
// listing.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <string_view>
#include <vector>

namespace kestrova {

// The start of every text hash, drawn once a process: the texts come from the network, and a
// fixed hash would let their authors choose texts that collide and make each look-up a long walk.
inline const uint64_t kTextHashSeed = [] {
    std::random_device device;
    return (uint64_t{device()} << 32) ^ device();
}();

// Hashes eight bytes at a time; fold lowers each word before it is mixed (identity for exact
// texts), and Equal must agree with it.
inline uint64_t HashTextWords(std::string_view text, uint64_t (*fold)(uint64_t)) {
    uint64_t hash = kTextHashSeed ^ text.size();
    const char* at = text.data();
    size_t left = text.size();
    const auto mix = [&hash](uint64_t word) {
        hash = (hash ^ word) * 0xBF58476D1CE4E5B9ull;
        hash ^= hash >> 31;
    };
    for (; left >= 8; left -= 8, at += 8) {
        uint64_t word;
        std::memcpy(&word, at, 8);
        mix(fold(word));
    }
    if (left > 0) {
        uint64_t word = 0;
        std::memcpy(&word, at, left);
        mix(fold(word));
    }
    hash *= 0x94D049BB133111EBull;
    return hash ^ (hash >> 32);
}

// Texts compared byte for byte.
struct TExactText {
    static uint64_t Fold(uint64_t word) { return word; }
    static bool Equal(std::string_view a, std::string_view b) { return a == b; }
};

// Texts compared without regard to the case of ASCII letters.
struct TCaseBlindText {
    static char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
    // Every byte 'A' to 'Z' of the word gains its lower-case bit; other bytes stay.
    static uint64_t Fold(uint64_t word) {
        constexpr uint64_t kOnes = 0x0101010101010101ull;
        const uint64_t low = word & (0x7F * kOnes);
        const uint64_t fromA = low + (0x80 - 'A') * kOnes;      // high bit: byte >= 'A'
        const uint64_t pastZ = low + (0x80 - 'Z' - 1) * kOnes;  // high bit: byte > 'Z'
        const uint64_t upper = fromA & ~pastZ & ~word & (0x80 * kOnes);
        return word | (upper >> 2);
    }
    static bool Equal(std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i) {
            if (Lower(a[i]) != Lower(b[i])) return false;
        }
        return true;
    }
};

template <class Text>
class TFlatTextMap {
  public:
    explicit TFlatTextMap(size_t expected) {
        size_t capacity = 16;
        while (capacity < 2 * expected) capacity *= 2;
        slots_.assign(capacity, Slot{});
    }

    // The value of key, or nullptr.
    const int32_t* Find(std::string_view key) const {
        const uint32_t hash = Hash(key);
        for (size_t at = hash & Mask();; at = (at + 1) & Mask()) {
            const Slot& slot = slots_[at];
            if (slot.Data == nullptr) return nullptr;
            if (slot.Hash == hash && Text::Equal(slot.Key(), key)) return &slot.Value;
        }
    }

    // The value of key; when key has none, value becomes it and added is set.
    int32_t Insert(std::string_view key, int32_t value, bool& added) {
        if (2 * (used_ + 1) > slots_.size()) Grow();
        const uint32_t hash = Hash(key);
        size_t at = hash & Mask();
        for (; slots_[at].Data != nullptr; at = (at + 1) & Mask()) {
            const Slot& slot = slots_[at];
            if (slot.Hash == hash && Text::Equal(slot.Key(), key)) {
                added = false;
                return slot.Value;
            }
        }
        // A free slot has no text; an empty key gets one of no length.
        slots_[at] = {key.data() != nullptr ? key.data() : "", static_cast<uint32_t>(key.size()),
                      hash, value};
        ++used_;
        added = true;
        return value;
    }

  private:
    // The key is held in the slot, so a probe that finds it reads no other entry.
    struct Slot {
        const char* Data = nullptr;  // nullptr: free
        uint32_t Size = 0;
        uint32_t Hash = 0;
        int32_t Value = 0;

        std::string_view Key() const { return {Data, Size}; }
    };

    static uint32_t Hash(std::string_view key) {
        return static_cast<uint32_t>(HashTextWords(key, Text::Fold));
    }
    size_t Mask() const { return slots_.size() - 1; }

    void Grow() {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        for (const Slot& slot : old) {
            if (slot.Data == nullptr) continue;
            size_t at = slot.Hash & Mask();
            while (slots_[at].Data != nullptr) at = (at + 1) & Mask();
            slots_[at] = slot;
        }
    }

    std::vector<Slot> slots_;
    size_t used_ = 0;
};

}  // namespace kestrova
