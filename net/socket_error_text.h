// The socket error numbers' texts and their classes (the code bits that steer retrying).
#pragma once

#include <cstdint>
#include <string>

namespace kestrova {

inline constexpr uint32_t kNotInListenMode = 0x10000001u;
// A line from the peer longer than TWinSocket::kMaxLineLength.
inline constexpr uint32_t kLineTooLong = 0x10000002u;
// The peer's compressed stream cannot be inflated (net/deflate_stream.h).
inline constexpr uint32_t kCompressedDataCorrupt = 0x10000003u;

// The text of a socket error number; "Not a Winsock error" for a number without one.
std::string SocketErrorText(uint32_t code);

// kTransient for the connection-level errors, kRefused for every other number.
uint32_t SocketErrorClass(uint32_t code);
// True for the errors after which the socket is closed (the connection is gone).
bool IsClosingSocketError(uint32_t code);

}  // namespace kestrova
