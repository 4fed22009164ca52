// TCache::LoadFromStream on any bytes: it must never crash or allocate beyond the input, and
// whatever it loads must survive a save and a second load unchanged (keys, order, data, stamps).
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/streams.h"
#include "news/cache.h"

namespace {

double FixedNow() {
    return 45000.5;
}

bool SameEntries(const kestrova::TCache& a, const kestrova::TCache& b) {
    if (a.Count() != b.Count()) return false;
    for (int i = 0; i < a.Count(); ++i) {
        const kestrova::TCacheEntry& x = a.Entries()[static_cast<size_t>(i)];
        const kestrova::TCacheEntry& y = b.Entries()[static_cast<size_t>(i)];
        if (x.Key != y.Key || *x.Data != *y.Data) return false;
        if (std::memcmp(&x.Stamp, &y.Stamp, sizeof x.Stamp) != 0) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kestrova::TMemoryStream input;
    input.WriteBuffer(data, static_cast<int64_t>(size));
    kestrova::TCache loaded(kestrova::TCache::kUnlimited, 24, FixedNow);
    loaded.LoadFromStream(input);

    kestrova::TMemoryStream image;
    loaded.SaveToStream(image);
    kestrova::TCache reloaded(kestrova::TCache::kUnlimited, 24, FixedNow);
    reloaded.LoadFromStream(image);
    if (!SameEntries(loaded, reloaded)) abort();
    return 0;
}
