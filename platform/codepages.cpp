#include "platform/codepages.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/codepage_tables.h"
#include "platform/utf8.h"

namespace kestrova::platform {

namespace {

constexpr int kDefaultOemCodePage = kUtf8CodePage;
constexpr int kDefaultAnsiCodePage = kUtf8CodePage;
constexpr char kUnmappable = '?';

int CodePageFromEnvironment(const char* variable, int fallback) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') return fallback;
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(value, &end, 10);
    if (errno != 0 || *end != '\0' || number <= 0 || number > 65535) return fallback;
    const int codePage = static_cast<int>(number);
    return codePage == kUtf8CodePage || CodePageCharacters(codePage) != nullptr ? codePage
                                                                                : fallback;
}

// One code page with a direct table for the way back from Unicode (every character of the
// supported pages lies in the Basic Multilingual Plane).
class CodePage {
  public:
    explicit CodePage(const char16_t* characters)
        : characters_(characters), byCharacter_(0x10000, kUnmappable) {
        // From the top down, so a character that two bytes share maps back to the lower byte.
        for (int byte = 255; byte >= 0; --byte) {
            if (characters[byte] == kReplacementCharacter) {
                utf8_[byte] = std::string(1, kUnmappable);
            } else {
                AppendUtf8(utf8_[byte], characters[byte]);
                byCharacter_[characters[byte]] = static_cast<char>(byte);
            }
        }
    }

    char32_t CharacterOf(uint8_t byte) const { return characters_[byte]; }

    // The UTF-8 form of byte, or "?" when the page has no character for it.
    const std::string& Utf8Of(uint8_t byte) const { return utf8_[byte]; }

    // The byte of codePoint, or '?' when the page has none.
    char ByteOf(char32_t codePoint) const {
        return codePoint < byCharacter_.size() ? byCharacter_[codePoint] : kUnmappable;
    }

  private:
    const char16_t* characters_;
    std::vector<char> byCharacter_;
    std::array<std::string, 256> utf8_;
};

const CodePage& GetCodePage(int number) {
    // Built once, on first use (some 70 KiB a page).
    static const std::map<int, CodePage> pages = [] {
        std::map<int, CodePage> built;
        for (int supported : kSupportedCodePages) {
            built.emplace(supported, CodePage(CodePageCharacters(supported)));
        }
        return built;
    }();
    const auto found = pages.find(number);
    if (found == pages.end()) {
        throw std::invalid_argument("unsupported code page " + std::to_string(number));
    }
    return found->second;
}

using ByteMap = std::array<char, 256>;

// The byte-to-byte table between two pages, kept once made: comparisons convert every text.
const ByteMap& GetByteMap(int fromCodePage, int toCodePage) {
    static std::mutex guard;
    static std::map<std::pair<int, int>, ByteMap> made;
    const CodePage& from = GetCodePage(fromCodePage);
    const CodePage& to = GetCodePage(toCodePage);
    std::lock_guard lock(guard);
    auto [entry, inserted] = made.try_emplace({fromCodePage, toCodePage});
    if (inserted) {
        for (int byte = 0; byte < 256; ++byte) {
            entry->second[byte] = to.ByteOf(from.CharacterOf(static_cast<uint8_t>(byte)));
        }
    }
    return entry->second;
}

}  // namespace

int OemCodePage() {
    return CodePageFromEnvironment("KESTROVA_OEMCP", kDefaultOemCodePage);
}

std::string CodePageCharset(int codePage) {
    switch (codePage) {
        case kUtf8CodePage:
            return "UTF-8";
        case 20866:
            return "KOI8-R";
        case 28595:
            return "ISO-8859-5";
    }
    return "CP" + std::to_string(codePage);
}

int AnsiCodePage() {
    return CodePageFromEnvironment("KESTROVA_ANSICP", kDefaultAnsiCodePage);
}

std::string ConvertCodePage(std::string_view text, int fromCodePage, int toCodePage) {
    if (fromCodePage == kUtf8CodePage) return Utf8ToCodePage(text, toCodePage);
    if (toCodePage == kUtf8CodePage) return CodePageToUtf8(text, fromCodePage);
    const ByteMap& map = GetByteMap(fromCodePage, toCodePage);
    std::string out(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i) out[i] = map[static_cast<uint8_t>(text[i])];
    return out;
}

std::string CodePageToUtf8(std::string_view text, int codePage) {
    if (codePage == kUtf8CodePage) return ValidUtf8(text);
    const CodePage& page = GetCodePage(codePage);
    std::string out;
    out.reserve(text.size() * 2);
    for (char byte : text) out += page.Utf8Of(static_cast<uint8_t>(byte));
    return out;
}

std::string Utf8ToCodePage(std::string_view text, int codePage) {
    if (codePage == kUtf8CodePage) return ValidUtf8(text);
    const CodePage& page = GetCodePage(codePage);
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) out += page.ByteOf(NextUtf8CodePoint(text, pos));
    return out;
}

std::string OemToAnsi(std::string_view text) {
    return ConvertCodePage(text, OemCodePage(), AnsiCodePage());
}

std::string AnsiToOem(std::string_view text) {
    return ConvertCodePage(text, AnsiCodePage(), OemCodePage());
}

std::string OemToUtf8(std::string_view text) {
    return CodePageToUtf8(text, OemCodePage());
}

std::string Utf8ToOem(std::string_view text) {
    return Utf8ToCodePage(text, OemCodePage());
}

bool CodePageTable(int codePage, char32_t (&table)[256]) {
    const char16_t* characters = CodePageCharacters(codePage);
    if (characters == nullptr) return false;
    std::copy(characters, characters + 256, table);
    return true;
}

}  // namespace kestrova::platform
