// The character data of the supported single-byte code pages.
#pragma once

namespace kestrova::platform {

constexpr int kSupportedCodePages[] = {866, 437, 850, 1251, 1252, 20866, 28595};

// The 256 Unicode code points of codePage's bytes (0xFFFD where the page has no character), or
// null when the page is not supported.
const char16_t* CodePageCharacters(int codePage);

}  // namespace kestrova::platform
