// UTF-8 encoding and strict decoding of single code points.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrova::platform {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// C0 and C1 control characters and DEL: what a terminal may take for (part of) a command.
constexpr bool IsControlCharacter(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// Appends the UTF-8 form of a scalar value (code point up to 0x10FFFF, no surrogate).
void AppendUtf8(std::string& out, char32_t codePoint);

// Decodes the character at text[pos] and moves pos past it. An ill-formed sequence gives
// kReplacementCharacter and pos moves past its longest valid-looking start (at least one byte),
// so each ill-formed sequence counts once and the next character is read whole.
char32_t NextUtf8CodePoint(std::string_view text, size_t& pos);

// True when text is well-formed UTF-8 (plain ASCII is).
bool IsValidUtf8(std::string_view text);
// text with each ill-formed sequence replaced by U+FFFD; well-formed text comes back as it is.
std::string ValidUtf8(std::string_view text);

// The length of the longest start of text that is at most maxBytes long and does not end inside
// a character: where a fixed-size field cuts a text.
size_t Utf8PrefixLength(std::string_view text, size_t maxBytes);

}  // namespace kestrova::platform
