// Kinds of the callback through which the news session and the account store ask the panel
// for a service: (kind, param1, param2), each parameter a number or the address of a text or
// of data. The panel answers in its HandleEvent.
#pragma once

#include <cstdint>
#include <functional>

namespace kestrova {

// The callback itself: (kind, param1, param2).
using TInternetEvent = std::function<int(int kind, intptr_t param1, intptr_t param2)>;

inline constexpr int kEventStatus = 1;      // param1 message number, param2 text inserted
inline constexpr int kEventTitle = 2;       // param2 text of a transient panel title
inline constexpr int kEventConfirm = 3;     // param1 name, param2 second line; 1 = yes
inline constexpr int kEventReceived = 5;    // param1 data, param2 byte count; may abort
inline constexpr int kEventSending = 6;     // param1 data, param2 byte count; may abort
inline constexpr int kEventProgress = 7;    // param2 one unit: 1 item or a byte count
inline constexpr int kEventMessageBox = 8;  // param1 message number, param2 text
// param1 the TUrlComponents whose user name and password to ask for, param2 the server's line
// that refused the last ones (0: none were refused). Answers kLoginEntered when the user gave
// new ones, kLoginDeclined when the user would not, 0 when nobody could be asked.
inline constexpr int kEventLogin = 9;
inline constexpr int kLoginEntered = 1;
inline constexpr int kLoginDeclined = 2;
// A network wait begins or its 500 ms tick comes: a listing's count is redrawn also while
// nothing arrives.
inline constexpr int kEventWaiting = 10;

}  // namespace kestrova
