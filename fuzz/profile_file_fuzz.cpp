// Profile-file reading on any text; a value written into any text must read back as written.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    using kestrova::platform::FindProfileValue;
    using kestrova::platform::SetProfileValue;

    FindProfileValue(content, "Kestrova", "Url");
    // The input's first line, when it can be written, serves as a value too.
    const std::string_view value = content.substr(0, content.find_first_of("\r\n"));
    for (std::string_view v : {std::string_view(" quoted \"value\" "), value}) {
        const auto updated = SetProfileValue(content, "Kestrova", "Url", v);
        if (!updated) abort();
        if (FindProfileValue(*updated, "kestrova", "URL") != std::string(v)) abort();
    }
    return 0;
}
