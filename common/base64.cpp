#include "common/base64.h"

#include <array>
#include <cstdint>

namespace kestrova {

namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kPad = '=';
constexpr int8_t kNotInAlphabet = -1;

// Reverse table over every byte value, so that any character can be looked up safely.
constexpr std::array<int8_t, 256> MakeReverseTable() {
    std::array<int8_t, 256> table{};
    table.fill(kNotInAlphabet);
    for (size_t i = 0; i < kAlphabet.size(); ++i) {
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int8_t>(i);
    }
    return table;
}

constexpr std::array<int8_t, 256> kReverseTable = MakeReverseTable();

}  // namespace

std::string Base64Encode(std::string_view bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t group = static_cast<unsigned char>(bytes[i]) << 16 |
                               static_cast<unsigned char>(bytes[i + 1]) << 8 |
                               static_cast<unsigned char>(bytes[i + 2]);
        text += kAlphabet[group >> 18];
        text += kAlphabet[group >> 12 & 0x3F];
        text += kAlphabet[group >> 6 & 0x3F];
        text += kAlphabet[group & 0x3F];
    }
    const size_t left = bytes.size() - i;
    if (left > 0) {
        uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (left == 2) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        text += kAlphabet[group >> 18];
        text += kAlphabet[group >> 12 & 0x3F];
        text += left == 2 ? kAlphabet[group >> 6 & 0x3F] : kPad;
        text += kPad;
    }
    return text;
}

std::string Base64Decode(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3 + 2);
    uint32_t bits = 0;
    int bitCount = 0;
    for (const char c : text) {
        const int8_t value = kReverseTable[static_cast<unsigned char>(c)];
        if (value == kNotInAlphabet) continue;
        bits = (bits << 6 | static_cast<uint32_t>(value)) & 0xFFFF;
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            bytes += static_cast<char>(bits >> bitCount & 0xFF);
        }
    }
    return bytes;
}

}  // namespace kestrova
