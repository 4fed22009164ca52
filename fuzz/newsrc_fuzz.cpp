// ParseNewsrc on any text: what it reads must be written and read again to the same groups and
// ranges, and the ranges of one group stay within their bound, so that a hostile file can
// neither crash the import nor make it hold more than it may.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "news/newsrc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrova;
    const TNewsrcText read =
        ParseNewsrc(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const TNewsrcEntry& entry : read.Entries)
        if (entry.Read.Ranges().size() > TArticleRanges::kMaxRanges) abort();
    const TNewsrcText again = ParseNewsrc(WriteNewsrc(read.Entries));
    if (again.Skipped != 0 || again.Entries.size() != read.Entries.size()) abort();
    for (size_t i = 0; i < read.Entries.size(); ++i) {
        const TNewsrcEntry& a = read.Entries[i];
        const TNewsrcEntry& b = again.Entries[i];
        if (a.Group != b.Group || a.Subscribed != b.Subscribed || !(a.Read == b.Read)) abort();
    }
    return 0;
}
