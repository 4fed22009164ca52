// Message numbers of the session's texts in the language files.
#pragma once

namespace kestrova {

inline constexpr int kMsgNextAttempt = 149;     // "%d" seconds to the next attempt, Esc stops
inline constexpr int kMsgLoginRefused = 150;    // the server refused the user name or password
inline constexpr int kMsgLoginAgain = 151;      // ... enter them again?
inline constexpr int kMsgCacheKeptAside = 152;  // a damaged cache file was kept under the name ...

}  // namespace kestrova
