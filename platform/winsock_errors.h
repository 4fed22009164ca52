// Operating-system error numbers as the socket error numbers the module knows, so that its
// error classes and texts apply unchanged.
#pragma once

namespace kestrova::platform {

inline constexpr int kWsaWouldBlock = 10035;
inline constexpr int kWsaConnReset = 10054;
inline constexpr int kWsaNotConnected = 10057;
inline constexpr int kWsaTimedOut = 10060;

// The socket error number of an errno value; a value without one comes back unchanged.
int WinsockErrorFromErrno(int err);

}  // namespace kestrova::platform
