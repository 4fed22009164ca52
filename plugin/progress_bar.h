// The percentage and bar of the progress box.
#pragma once

#include <cstdint>
#include <string>

namespace kestrova {

// received of total in percent, rounded, at most 100; 100 when total is 0.
int ProgressPercent(int64_t received, int64_t total);
// kProgressWidth light-shade cells whose first percent × 0.55 (rounded) are full blocks.
std::string ProgressBar(int percent);

}  // namespace kestrova
