#include "ui/download_name.h"

#include <algorithm>
#include <charconv>

#include "platform/codepages.h"
#include "platform/utf8.h"
#include "ui/file_helpers.h"

namespace kestrova {
namespace {

// A character that is no separator in any file name, so that MakeValidFileName keeps none.
constexpr char kKeepNoSeparator = '\xFF';

bool SameAsciiText(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        return fold(x) == fold(y);
    });
}

// The width of a token "%Name:N%": N read as a decimal number (0 when it is none), at most
// kMaxFileNameBytes and at least 0.
size_t ReadWidth(std::string_view digits) {
    long long value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) value = 0;
    return static_cast<size_t>(std::clamp<long long>(value, 0, kMaxFileNameBytes));
}

// Appends what token ("%...%", at least two characters) stands for.
void ExpandToken(std::string_view token, const TDownloadSource& source, std::string& out) {
    std::string_view word = token.substr(1, token.size() - 2);
    bool hasWidth = false;
    size_t width = 0;
    if (const size_t colon = word.rfind(':'); colon != std::string_view::npos) {
        hasWidth = true;
        width = ReadWidth(word.substr(colon + 1));
        word = word.substr(0, colon);
    }
    auto cut = [&](std::string_view text) { return hasWidth ? text.substr(0, width) : text; };
    if (SameAsciiText(word, "Subject")) {
        out += cut(source.Subject);
    } else if (SameAsciiText(word, "OName") || SameAsciiText(word, "From")) {
        out += cut(source.Author);
    } else if (SameAsciiText(word, "Number")) {
        const std::string number = std::to_string(source.Number);
        if (hasWidth && number.size() < width) out.append(width - number.size(), ' ');
        out += number;
    } else {
        out += token;
    }
}

bool OnlyDots(std::string_view name) {
    return name.find_first_not_of('.') == std::string_view::npos;
}

// The longest prefix of name whose UTF-8 form fits kMaxFileNameBytes, cut between characters.
// A single-byte OEM code page converts character by character, byte by byte.
std::string_view FitFileSystem(std::string_view name) {
    if (platform::OemCodePage() == platform::kUtf8CodePage)
        return name.substr(0, platform::Utf8PrefixLength(name, kMaxFileNameBytes));
    size_t bytes = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        bytes += platform::OemToUtf8(name.substr(i, 1)).size();
        if (bytes > kMaxFileNameBytes) return name.substr(0, i);
    }
    return name;
}

}  // namespace

std::string ExpandDownloadName(std::string_view downloadTemplate, const TDownloadSource& source,
                               std::string_view name) {
    if (downloadTemplate.empty()) return std::string(name);
    std::string out;
    size_t pos = 0;
    while (pos < downloadTemplate.size()) {
        const size_t open = downloadTemplate.find('%', pos);
        const size_t close =
            open == std::string_view::npos ? open : downloadTemplate.find('%', open + 1);
        if (close == std::string_view::npos) {
            out += downloadTemplate.substr(pos);
            break;
        }
        out += downloadTemplate.substr(pos, open - pos);
        ExpandToken(downloadTemplate.substr(open, close - open + 1), source, out);
        pos = close + 1;
    }
    return out;
}

std::string SafeDownloadName(std::string_view name) {
    std::string safe(FitFileSystem(MakeValidFileName(name, kKeepNoSeparator)));
    if (OnlyDots(safe)) safe.assign(std::max<size_t>(safe.size(), 1), '_');
    return safe;
}

}  // namespace kestrova
