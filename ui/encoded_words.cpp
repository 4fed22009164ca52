#include "ui/encoded_words.h"

#include "common/base64.h"
#include "common/quoted_printable.h"
#include "platform/charset_conversion.h"
#include "platform/codepages.h"
#include "platform/utf8.h"
#include "ui/char_tables.h"

namespace kestrova {
namespace {

// A header name of up to 16 columns and the first word stay within 76 columns.
constexpr size_t kLongestWord = 60;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool AllBlank(std::string_view text) {
    for (char c : text)
        if (!IsBlank(c)) return false;
    return true;
}

bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// The word at text[start] (which starts with "=?") decoded to OEM text, end set past it; false
// when no word that decodes starts there.
bool DecodeWordAt(std::string_view text, size_t start, std::string& word, size_t& end) {
    const size_t charsetEnd = text.find('?', start + 2);
    if (charsetEnd == std::string_view::npos || charsetEnd + 3 > text.size() ||
        text[charsetEnd + 2] != '?')
        return false;
    const size_t textEnd = text.find("?=", charsetEnd + 3);
    if (textEnd == std::string_view::npos) return false;
    const std::string_view encoded = text.substr(charsetEnd + 3, textEnd - charsetEnd - 3);
    if (encoded.find_first_of(" \t") != std::string_view::npos) return false;
    std::string_view charset = text.substr(start + 2, charsetEnd - start - 2);
    charset = charset.substr(0, charset.find('*'));  // a language tag follows '*'
    std::string bytes;
    switch (text[charsetEnd + 1]) {
        case 'B':
        case 'b':
            bytes = Base64Decode(encoded);
            break;
        case 'Q':
        case 'q':
            bytes = DecodeQEncodedText(encoded);
            break;
        default:
            return false;
    }
    std::optional<std::string> decoded = platform::ToUtf8(bytes, charset);
    if (!decoded) return false;
    word = platform::OemCodePage() == platform::kUtf8CodePage ? std::move(*decoded)
                                                              : platform::Utf8ToOem(*decoded);
    end = textEnd + 2;
    return true;
}

// value's encoded words decoded, the text around them by decodeRest.
template <typename DecodeRest>
std::string DecodeWords(std::string_view value, const DecodeRest& decodeRest) {
    if (value.find("=?") == std::string_view::npos) return decodeRest(value);
    std::string out;
    size_t pos = 0;
    bool afterWord = false;
    while (pos < value.size()) {
        size_t start = value.find("=?", pos);
        std::string word;
        size_t end = 0;
        while (start != std::string_view::npos && !DecodeWordAt(value, start, word, end))
            start = value.find("=?", start + 2);
        if (start == std::string_view::npos) {
            out += decodeRest(value.substr(pos));
            break;
        }
        const std::string_view between = value.substr(pos, start - pos);
        if (!(afterWord && AllBlank(between))) out += decodeRest(between);
        out += word;
        pos = end;
        afterWord = true;
    }
    return out;
}

}  // namespace

std::string DecodeHeaderText(std::string_view value, int fallbackCode) {
    return DecodeWords(value,
                       [&](std::string_view rest) { return DecodeText(fallbackCode, rest); });
}

std::string DecodeHeaderText(std::string_view value, const std::string& fallbackCharset) {
    return DecodeWords(value,
                       [&](std::string_view rest) { return DecodeTextIn(fallbackCharset, rest); });
}

bool EncodeHeaderText(std::string_view oemText, const std::string& charset, bool base64,
                      std::string& out, char32_t& missing) {
    missing = 0;
    out.clear();
    if (IsAscii(oemText) && !base64) {
        out.assign(oemText);
        return true;
    }
    const std::string utf8 = platform::OemToUtf8(oemText);
    const std::string prefix = "=?" + charset + "?B?";
    // Base64 of n bytes takes 4 * ceil(n / 3) characters.
    const size_t room = kLongestWord > prefix.size() + 2 ? kLongestWord - prefix.size() - 2 : 4;
    const size_t mostBytes = std::max<size_t>(room / 4 * 3, 3);
    std::string chunk;  // the bytes of the word being filled
    const auto flush = [&] {
        if (chunk.empty()) return;
        if (!out.empty()) out += "\r\n ";
        out += prefix + Base64Encode(chunk) + "?=";
        chunk.clear();
    };
    for (size_t pos = 0; pos < utf8.size();) {
        const size_t start = pos;
        platform::NextUtf8CodePoint(utf8, pos);
        const platform::EncodedText encoded =
            platform::FromUtf8(std::string_view(utf8).substr(start, pos - start), charset);
        if (!encoded.KnownCharset || encoded.Missing != 0) {
            size_t at = start;
            missing =
                encoded.KnownCharset ? encoded.Missing : platform::NextUtf8CodePoint(utf8, at);
            out.clear();
            return false;
        }
        if (chunk.size() + encoded.Bytes.size() > mostBytes) flush();
        chunk += encoded.Bytes;
    }
    flush();
    return true;
}

}  // namespace kestrova
