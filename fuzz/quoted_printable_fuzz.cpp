// DecodeQuotedPrintable and the "Q" form on any text; decoding never makes a text longer.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/quoted_printable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (kestrova::DecodeQuotedPrintable(input).size() > size) abort();
    if (kestrova::DecodeQEncodedText(input).size() > size) abort();
    return 0;
}
