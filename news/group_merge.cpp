#include "news/group_merge.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string_view>
#include <utility>

#include "news/group_record.h"

namespace kestrova {

namespace {

std::string_view RecordNameView(const TListBlock& block, size_t index) {
    return GetField(block.Record(index), TGroupRecord::kNameSize);
}

// Moves the records of block into the order of indexes, a permutation of them, in place: each
// cycle of the permutation is followed with one record aside.
void Permute(TListBlock& block, std::vector<uint32_t> indexes) {
    constexpr size_t size = TGroupRecord::kSize;
    char aside[size];
    for (uint32_t start = 0; start < indexes.size(); ++start) {
        if (indexes[start] == start) continue;  // in its place, or moved already
        std::memcpy(aside, block.Record(start), size);
        for (uint32_t to = start;;) {
            const uint32_t from = indexes[to];
            indexes[to] = to;
            if (from == start) {
                std::memcpy(block.Record(to), aside, size);
                break;
            }
            std::memcpy(block.Record(to), block.Record(from), size);
            to = from;
        }
    }
}

}  // namespace

ArrivalOrder SortArrived(const TListBlock& arrived, const TOemCollation& collation) {
    // The names' lengths are taken once, not in each of the sort's comparisons.
    static_assert(TGroupRecord::kNameSize <= 256, "a name's length fits a byte");
    std::vector<uint8_t> lengths(arrived.Count());
    for (uint32_t i = 0; i < arrived.Count(); ++i) {
        lengths[i] = static_cast<uint8_t>(RecordNameView(arrived, i).size());
    }
    const auto name = [&](uint32_t i) { return std::string_view(arrived.Record(i), lengths[i]); };
    ArrivalOrder order;
    order.Indexes.resize(arrived.Count());
    std::iota(order.Indexes.begin(), order.Indexes.end(), 0u);
    std::sort(order.Indexes.begin(), order.Indexes.end(), [&](uint32_t a, uint32_t b) {
        const int names = collation.CompareText(name(a), name(b));
        return names < 0 || (names == 0 && a < b);
    });
    std::vector<uint32_t> again;
    for (const uint32_t index : order.Indexes) {
        const bool twin =
            order.Unique > 0 &&
            collation.CompareText(name(order.Indexes[order.Unique - 1]), name(index)) == 0;
        if (twin) {
            again.push_back(index);
        } else {
            order.Indexes[order.Unique++] = index;
        }
    }
    std::copy(again.begin(), again.end(),
              order.Indexes.begin() + static_cast<ptrdiff_t>(order.Unique));
    return order;
}

void MergeGroups(TListBlock& list, TListBlock&& arrived, ArrivalOrder order,
                 const TOemCollation& collation) {
    if (order.Unique == 0) return;
    const size_t added = order.Unique;
    Permute(arrived, std::move(order.Indexes));
    arrived.Resize(added);
    if (list.Count() == 0) {
        arrived.SetStamp(list.Stamp());
        list = std::move(arrived);
        return;
    }
    size_t kept = list.Count(), taken = added, to = kept + added;
    list.Resize(to);
    while (taken > 0) {
        const bool listFirst =
            kept > 0 && collation.CompareText(RecordNameView(list, kept - 1),
                                              RecordNameView(arrived, taken - 1)) > 0;
        const char* from = listFirst ? list.Record(--kept) : arrived.Record(--taken);
        std::memcpy(list.Record(--to), from, TGroupRecord::kSize);
    }
}

}  // namespace kestrova
