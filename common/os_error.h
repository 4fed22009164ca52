// The runtime's system error for a failed operating-system call.
#pragma once

namespace kestrova {

// Raises EOSError "Win32 Error. Code: %d.\n%s" with the system's text for the error number, or
// "A Win32 API function failed" when the number is 0.
[[noreturn]] void RaiseOSError(int errorNumber);

}  // namespace kestrova
