// What the panel needs to know about a failure that reached it: its kind, the class name the
// user sees, its message and, for the module's own errors, code and procedure name.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace kestrova {

enum class FailureKind {
    SilentAbort,    // EAbort: ends the operation without a message
    PluginLeave,    // EPluginLeave: leave the module's file system
    InternetLeave,  // EInternetLeave: drop the connection, back to the accounts
    UserAbort,      // EUserAbort: Esc during a transfer
    Custom,         // any other ECustomError
    Other,          // a failure that is not the module's own
};

struct FailureDescription {
    FailureKind Kind = FailureKind::Other;
    std::string ClassName;
    std::string Message;
    uint32_t Code = 0;            // ECustomError family only
    std::string ProcName;         // ECustomError family only
    bool ProtocolAnswer = false;  // an EInternetError: the server answered, the line is fine
};

FailureDescription DescribeFailure(std::exception_ptr failure);

}  // namespace kestrova
