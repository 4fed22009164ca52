// The groups that a LIST or NEWGROUPS reply brought, put into the cached group list: sorted,
// each name once, and merged in one pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/oem_collation.h"
#include "news/list_block.h"

namespace kestrova {

// The records of a block of arrived groups by index: first each name once (the record that
// came first) in name order, then the records whose name came again.
struct ArrivalOrder {
    std::vector<uint32_t> Indexes;
    size_t Unique = 0;
};

// The order of the group records of arrived, in the order they came.
ArrivalOrder SortArrived(const TListBlock& arrived, const TOemCollation& collation);

// Puts the arrived groups, each name once, at their sorted places in the list. A list without
// records takes the arrived block itself; into any other the sorted records are merged in one
// pass from the end, so that none moves twice (inserting each at its place would move the
// records after it every time, quadratic in the size of a full LIST).
void MergeGroups(TListBlock& list, TListBlock&& arrived, ArrivalOrder order,
                 const TOemCollation& collation);

}  // namespace kestrova
