#include "common/password_scramble.h"

#include <cstdint>

#include "common/base64.h"

namespace kestrova {
namespace {

constexpr uint32_t kStartKey = 6481;
constexpr uint32_t kMultiplier = 21943;
constexpr uint32_t kIncrement = 48611;

char Mask(uint32_t key, unsigned char c) {
    return static_cast<char>(c ^ ((key >> 8) & 0xFF));
}
uint32_t Advance(uint32_t key, unsigned char scrambled) {
    return (key + scrambled) * kMultiplier + kIncrement;
}

}  // namespace

std::string ScramblePassword(std::string_view password) {
    std::string scrambled;
    scrambled.reserve(password.size());
    uint32_t key = kStartKey;
    for (char p : password) {
        char c = Mask(key, static_cast<unsigned char>(p));
        scrambled += c;
        key = Advance(key, static_cast<unsigned char>(c));
    }
    return Base64Encode(scrambled);
}

std::string UnscramblePassword(std::string_view stored) {
    std::string scrambled = Base64Decode(stored);
    std::string password;
    password.reserve(scrambled.size());
    uint32_t key = kStartKey;
    for (char c : scrambled) {
        password += Mask(key, static_cast<unsigned char>(c));
        key = Advance(key, static_cast<unsigned char>(c));
    }
    return password;
}

}  // namespace kestrova
