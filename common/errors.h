// The module's error classes. Class names are shown to the user (the warning title names the
// class), so every class reports its own name through ClassName().
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace kestrova {

// Code bits that steer the panel's retry logic; the low bits carry the failing layer's own code.
inline constexpr uint32_t kRetryAtOnce = 0x80000000u;
inline constexpr uint32_t kTransient = 0x40000000u;
inline constexpr uint32_t kItemFailure = 0x20000000u;
inline constexpr uint32_t kRefused = 0x10000000u;

// The runtime's exception class: carries the message.
class Exception : public std::exception {
  public:
    explicit Exception(std::string message = {}) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    virtual const char* ClassName() const { return "Exception"; }

    std::string Message;
};

#define KESTROVA_DERIVED_EXCEPTION(Name, Base)                   \
    class Name : public Base {                                   \
      public:                                                    \
        using Base::Base;                                        \
        const char* ClassName() const override { return #Name; } \
    }

// The silent abort: ends the running operation without a message.
KESTROVA_DERIVED_EXCEPTION(EAbort, Exception);
// Leave the module's file system (".." at the top of the account store).
KESTROVA_DERIVED_EXCEPTION(EPluginLeave, Exception);
// Drop the connection and return to the account list (".." at a server's top).
KESTROVA_DERIVED_EXCEPTION(EInternetLeave, Exception);
// A failure of the operating system ("Win32 Error. Code: %d.\n%s").
KESTROVA_DERIVED_EXCEPTION(EOSError, Exception);

class ECustomError : public Exception {
  public:
    ECustomError(uint32_t code, std::string message, std::string procName)
        : Exception(std::move(message)), Code(code), ProcName(std::move(procName)) {}
    const char* ClassName() const override { return "ECustomError"; }

    uint32_t Code;
    std::string ProcName;
};

KESTROVA_DERIVED_EXCEPTION(EUserAbort, ECustomError);
KESTROVA_DERIVED_EXCEPTION(ESocketError, ECustomError);
KESTROVA_DERIVED_EXCEPTION(EInternetError, ECustomError);
KESTROVA_DERIVED_EXCEPTION(ERegistryError, ECustomError);
KESTROVA_DERIVED_EXCEPTION(EStringListError, ECustomError);
KESTROVA_DERIVED_EXCEPTION(EStreamError, ECustomError);
KESTROVA_DERIVED_EXCEPTION(EReadError, EStreamError);
KESTROVA_DERIVED_EXCEPTION(EWriteError, EStreamError);
KESTROVA_DERIVED_EXCEPTION(EFCreateError, EStreamError);
KESTROVA_DERIVED_EXCEPTION(EFOpenError, EStreamError);

#undef KESTROVA_DERIVED_EXCEPTION

}  // namespace kestrova
