// Codes and texts of the SOCKS exchange's failures.
#pragma once

#include <cstdint>
#include <string>

namespace kestrova {

inline constexpr uint32_t kSocksNotSupported = 0x10000200u;      // not a SOCKS proxy of the version
inline constexpr uint32_t kSocksConnectionLost = 0x40000100u;    // the proxy hung up mid-exchange
inline constexpr uint32_t kSocksReplyError = 0x40000300u;        // + the proxy's reply code
inline constexpr uint32_t kSocksNoMethod = 0x10000400u;          // no offered method acceptable
inline constexpr uint32_t kSocksLoginTooLong = 0x10000500u;      // user name or password > 255
inline constexpr uint32_t kSocksHostTooLong = 0x10000600u;       // target host name > 255
inline constexpr uint32_t kSocksLoginRefused = 0x10000700u;      // + the proxy's login status
inline constexpr uint32_t kSocksMethodNotOffered = 0x10000800u;  // + the method it chose

// The text of a SOCKS failure code; empty for a code without one.
std::string SocksErrorText(uint32_t code);

}  // namespace kestrova
