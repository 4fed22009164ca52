// Group name comparison speed: 20,000 names shaped like a LIST reply are sorted case-insensitively
// by CompareTextOem (pages read from the environment on each call) and, in the same run, by one
// TOemCollation. Prints comparisons per second of both and their ratio.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "common/oem_collation.h"
#include "common/text_utils.h"

namespace {

constexpr int kNames = 20'000;
constexpr int kRounds = 5;

// Dotted names of two to five parts from a small vocabulary, mixed case, a few in CP866
// Cyrillic, shuffled.
std::vector<std::string> MakeNames() {
    static const char* const kParts[] = {
        "comp", "lang", "alt", "binaries", "sci", "rec",   "misc",  "talk",
        "soc",  "news", "C",   "Java",     "os",  "linux", "fido7", "\x8D\xAE\xA2\xAE\xE1\xE2\xA8",
        "test"};
    std::vector<std::string> names;
    unsigned seed = 7;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    while (names.size() < kNames) {
        std::string name = kParts[next() % std::size(kParts)];
        const unsigned parts = 1 + next() % 4;
        for (unsigned i = 0; i < parts; ++i) {
            name += '.';
            name += kParts[next() % std::size(kParts)];
        }
        name += std::to_string(next() % 1000);
        names.push_back(name);
    }
    return names;
}

// Comparisons per second of sorting names kRounds times with less.
template <typename Less>
double ComparisonsPerSecond(const std::vector<std::string>& names, Less less) {
    long long comparisons = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::string> sorted = names;
        std::sort(sorted.begin(), sorted.end(), [&](const std::string& a, const std::string& b) {
            ++comparisons;
            return less(a, b);
        });
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return comparisons / elapsed.count();
}

}  // namespace

int main() {
    using kestrova::CompareTextOem;
    using kestrova::TOemCollation;
    const std::vector<std::string> names = MakeNames();
    const double perCall = ComparisonsPerSecond(
        names, [](const std::string& a, const std::string& b) { return CompareTextOem(a, b) < 0; });
    const TOemCollation collation;
    const double collated =
        ComparisonsPerSecond(names, [&collation](const std::string& a, const std::string& b) {
            return collation.CompareText(a, b) < 0;
        });
    std::printf("CompareTextOem          %12.0f comparisons/s\n", perCall);
    std::printf("TOemCollation::Compare  %12.0f comparisons/s\n", collated);
    std::printf("ratio                   %12.1f\n", collated / perCall);
    return 0;
}
