// The host's version as the module compares it.
#pragma once

namespace kestrova {

// Below this the host is too old for the module: nothing is loaded or offered.
inline constexpr unsigned kMinimalHostVersion = 324;
// From this on the host offers its character tables.
inline constexpr unsigned kCharTableHostVersion = 332;

// (version & 0xFFFF) | 0x10000 when the host offers AdvControl; otherwise the StructSize of the
// service table the host passed (an old host announces itself by the size of its table).
unsigned HostVersion();

}  // namespace kestrova
