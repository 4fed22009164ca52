// Base64Decode on any text; any bytes must survive an encode and decode unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/base64.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::string decoded = kestrova::Base64Decode(input);
    if (decoded.size() > size * 3 / 4) abort();

    const std::string encoded = kestrova::Base64Encode(input);
    if (encoded.size() % 4 != 0 || kestrova::Base64Decode(encoded) != input) abort();
    return 0;
}
