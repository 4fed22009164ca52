// LIST/NEWGROUPS lines on any bytes: every line is parsed and inserted into one group list. The
// list must stay sorted without twins, every name must fit its record, and the block must read
// back as the same records.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/text_utils.h"
#include "news/group_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrova;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    TListBlock list(TGroupRecord::kSize);
    size_t start = 0;
    while (start <= input.size()) {
        size_t end = input.find('\n', start);
        if (end == std::string_view::npos) end = input.size();
        const std::string_view line = input.substr(start, end - start);
        TGroupRecord record;
        const GroupLine kind = ParseGroupLine(line, (size & 1) != 0, record);
        if (kind == GroupLine::Group) {
            if (record.Name.empty() || record.Name.size() >= TGroupRecord::kNameSize) abort();
            if ((record.Flags & kNewGroup) == 0 || (record.Flags & kPostingMask) == 3) abort();
            InsertGroup(list, record);
        }
        start = end + 1;
    }
    for (uint32_t i = 1; i < list.Count(); ++i) {
        const std::string previous = TGroupRecord::Read(list.Record(i - 1)).Name;
        if (CompareTextOem(previous, TGroupRecord::Read(list.Record(i)).Name) >= 0) abort();
    }
    TListBlock copy(TGroupRecord::kSize);
    if (!copy.Assign(list.Bytes()) || copy.Bytes() != list.Bytes()) abort();
    return 0;
}
