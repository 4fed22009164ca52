#include "bench/resident_memory.h"

#include <malloc.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace kestrova::bench {

long StatusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(field + ":")) return std::atol(line.c_str() + field.size() + 1);
    }
    throw std::runtime_error("no " + field + " in /proc/self/status");
}

void ResetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.close();
    if (!clear) throw std::runtime_error("cannot reset the peak through /proc/self/clear_refs");
}

void TrimHeap() {
    malloc_trim(0);
}

}  // namespace kestrova::bench
