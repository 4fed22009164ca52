// The process's resident memory as /proc/self/status gives it, for the benchmarks that print how
// much a listing takes at its peak.
#pragma once

#include <string>

namespace kestrova::bench {

// A size in kB from /proc/self/status ("VmRSS", "VmHWM").
long StatusKilobytes(const std::string& field);

// Starts the peak resident size (VmHWM) afresh from the resident size now, through
// /proc/self/clear_refs.
void ResetPeak();
// Gives the heap's free memory back to the system, so that what a measurement allocates shows as
// growth instead of reusing what earlier work left behind.
void TrimHeap();

// The growth of the peak resident size while body runs, in bytes.
template <class Body>
double PeakGrowth(const Body& body) {
    TrimHeap();
    ResetPeak();
    const long before = StatusKilobytes("VmRSS");
    body();
    return static_cast<double>(StatusKilobytes("VmHWM") - before) * 1024;
}

}  // namespace kestrova::bench
