// Feeds FormatText arbitrary formats with arbitrary arguments of every kind, and checks that the
// result never grows beyond what the directives allow and that plain text passes unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/format_text.h"

namespace {

kestrova::FormatArg MakeArg(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return kestrova::FormatArg(input.ConsumeIntegral<int64_t>());
        case 1:
            return kestrova::FormatArg(input.ConsumeIntegral<char>());
        case 2:
            return kestrova::FormatArg(
                reinterpret_cast<const void*>(input.ConsumeIntegral<uintptr_t>()));
        default:
            return kestrova::FormatArg(input.ConsumeRandomLengthString(64));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<kestrova::FormatArg> args;
    size_t argCount = input.ConsumeIntegralInRange<size_t>(0, 8);
    size_t longestText = 0;
    for (size_t i = 0; i < argCount; ++i) {
        args.push_back(MakeArg(input));
        longestText = std::max(longestText, args.back().text.size());
    }
    std::string format = input.ConsumeRemainingBytesAsString();

    std::string result = kestrova::FormatText(format, args);

    size_t directives = static_cast<size_t>(std::count(format.begin(), format.end(), '%'));
    size_t longestField = std::max({kestrova::kMaxFormatWidth, longestText, size_t{20}});
    if (result.size() > format.size() + directives * longestField) std::abort();
    if (directives == 0 && result != format) std::abort();
    return 0;
}
