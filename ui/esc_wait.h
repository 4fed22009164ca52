// A pause the user can end with Esc.
#pragma once

#include <cstdint>

namespace kestrova {

// Waits millis milliseconds, sleeping in the console input wait (no busy loop) and waking at
// once when a key arrives. Returns false as soon as Esc is pressed (the key is consumed), true
// when the time is up.
bool WaitUnlessEsc(uint64_t millis);

}  // namespace kestrova
