// Single comparisons of OEM texts under the code pages the environment names at the time of the
// call.
#include <string_view>

#include "common/oem_collation.h"
#include "common/text_utils.h"

namespace kestrova {

int CompareOem(std::string_view a, std::string_view b, unsigned flags, int length) {
    return TOemCollation().Compare(a, b, flags, length);
}

}  // namespace kestrova
