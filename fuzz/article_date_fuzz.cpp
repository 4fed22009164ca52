// ParseArticleDate on any text; when it gives no date the output must stay as it was.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/article_date.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    FILETIME fileTime{0xDEADBEEF, 0x01234567};
    if (!kestrova::ParseArticleDate(input, fileTime) &&
        (fileTime.dwLowDateTime != 0xDEADBEEF || fileTime.dwHighDateTime != 0x01234567)) {
        abort();
    }
    return 0;
}
