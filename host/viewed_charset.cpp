#include "host/viewed_charset.h"

#include <optional>

#include "platform/charset_conversion.h"
#include "platform/utf8.h"

namespace kestrova::host {

std::string ViewedLineAsUtf8(std::string_view line, const std::string& charset) {
    if (platform::IsValidUtf8(line) || charset.empty()) return platform::ValidUtf8(line);
    std::optional<std::string> decoded = platform::ToUtf8(line, charset);
    return decoded ? *decoded : platform::ValidUtf8(line);
}

}  // namespace kestrova::host
