// ParseUrl on any text and flags; a URL built from the parsed components must read back to the
// same text, so that saving an address again never changes it. The one text that cannot be
// carried is a "://" inside a component of a URL without scheme: it reads as the scheme's end.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const unsigned flags = data[0] & 31u;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

    kestrova::TUrlComponents url;
    if (!kestrova::ParseUrl(text, flags, url)) return 0;

    constexpr unsigned kAllParts =
        kestrova::kUrlExtraInfo | kestrova::kUrlUserName | kestrova::kUrlPassword;
    std::string built;
    if (!kestrova::BuildUrl(url, kAllParts, built)) return 0;
    if (url.Scheme.empty() && built.find("://") != std::string::npos) return 0;
    kestrova::TUrlComponents reparsed;
    if (!kestrova::ParseUrl(built, kestrova::kUrlNoScheme, reparsed)) abort();
    std::string rebuilt;
    if (!kestrova::BuildUrl(reparsed, kAllParts, rebuilt) || rebuilt != built) abort();
    return 0;
}
