// Terminal input bytes into the key decoder, fed in two pieces split where the first byte says;
// every event must be well-formed and nothing may stay held after Finish.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "host/tui/key_input.h"
#include "hostapi/plugin_api.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t split = data[0] % (bytes.size() + 1);
    kestrova::host::tui::KeyDecoder decoder;
    auto events = decoder.Feed(bytes.substr(0, split));
    auto rest = decoder.Feed(bytes.substr(split));
    events.insert(events.end(), rest.begin(), rest.end());
    rest = decoder.Finish();
    events.insert(events.end(), rest.begin(), rest.end());
    if (decoder.Pending()) std::abort();
    for (const auto& event : events)
        if (event.EventType != KEY_EVENT && event.EventType != MOUSE_EVENT) std::abort();
    return 0;
}
