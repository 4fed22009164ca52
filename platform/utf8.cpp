#include "platform/utf8.h"

#include <cstdint>
#include <cstring>

namespace kestrova::platform {

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

char32_t NextUtf8CodePoint(std::string_view text, size_t& pos) {
    const uint8_t lead = static_cast<uint8_t>(text[pos++]);
    if (lead < 0x80) return lead;

    // The range allowed for the second byte excludes overlong forms, surrogates and values
    // beyond 0x10FFFF; later bytes are plain continuation bytes.
    int continuationBytes = 0;
    char32_t codePoint = 0;
    uint8_t low = 0x80;
    uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuationBytes = 1;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuationBytes = 2;
        codePoint = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuationBytes = 3;
        codePoint = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return kReplacementCharacter;
    }

    for (int i = 0; i < continuationBytes; ++i) {
        if (pos >= text.size()) return kReplacementCharacter;
        const uint8_t next = static_cast<uint8_t>(text[pos]);
        if (next < low || next > high) return kReplacementCharacter;
        codePoint = (codePoint << 6) | (next & 0x3F);
        low = 0x80;
        high = 0xBF;
        ++pos;
    }
    return codePoint;
}

bool IsValidUtf8(std::string_view text) {
    for (size_t pos = 0; pos < text.size();) {
        // Plain ASCII eight bytes at a time.
        if (uint64_t word; text.size() - pos >= sizeof word) {
            std::memcpy(&word, text.data() + pos, sizeof word);
            if ((word & 0x8080808080808080u) == 0) {
                pos += sizeof word;
                continue;
            }
        }
        if (static_cast<uint8_t>(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        const size_t start = pos;
        if (NextUtf8CodePoint(text, pos) == kReplacementCharacter &&
            text.substr(start, 3) != "\xEF\xBF\xBD")
            return false;
    }
    return true;
}

std::string ValidUtf8(std::string_view text) {
    if (IsValidUtf8(text)) return std::string(text);
    std::string out;
    out.reserve(text.size() + 8);
    for (size_t pos = 0; pos < text.size();) AppendUtf8(out, NextUtf8CodePoint(text, pos));
    return out;
}

size_t Utf8PrefixLength(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    // Back over continuation bytes to the start of the character that would be cut (at most
    // three: a longer run is no character, and any place cuts it).
    size_t end = maxBytes;
    while (end > 0 && maxBytes - end < 3 && (static_cast<uint8_t>(text[end]) & 0xC0) == 0x80) --end;
    return (static_cast<uint8_t>(text[end]) & 0xC0) == 0x80 ? maxBytes : end;
}

}  // namespace kestrova::platform
