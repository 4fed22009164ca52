#include "common/os_error.h"

#include <cstring>

#include "common/errors.h"
#include "common/format_text.h"

namespace kestrova {

void RaiseOSError(int errorNumber) {
    if (errorNumber == 0) throw EOSError("A Win32 API function failed");
    throw EOSError(
        FormatText("Win32 Error. Code: %d.\n%s", {errorNumber, std::strerror(errorNumber)}));
}

}  // namespace kestrova
