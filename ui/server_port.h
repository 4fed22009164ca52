// Server addresses whose written port is not a port are refused with a message naming the port:
// nothing (least of all the address's password) goes to a port the user did not ask for.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

// The refusal of address (read as ParseUrl reads it with kUrlNoScheme), naming its port made
// visible and cut to a bounded length; empty when the port is sound or not written.
std::string BadPortMessage(std::string_view address);

// Raises EInternetError under procName with BadPortMessage when that is not empty.
void RefuseBadPort(std::string_view address, const char* procName);

}  // namespace kestrova
