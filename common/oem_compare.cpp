// Single comparisons and conversions of OEM texts under the code pages the environment names at
// the time of the call.
#include <string>
#include <string_view>

#include "common/oem_collation.h"
#include "common/text_utils.h"
#include "platform/codepages.h"

namespace kestrova {

int CompareOem(std::string_view a, std::string_view b, unsigned flags, int length) {
    return TOemCollation().Compare(a, b, flags, length);
}

std::string OemToAnsiText(std::string_view text) {
    return platform::OemToAnsi(text);
}

}  // namespace kestrova
