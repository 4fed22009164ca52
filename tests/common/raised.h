// What an operation raises, as one text to compare whole: the class, then for the module's own
// errors the code in hexadecimal and the procedure, then the message; "no error" when it raises
// none.
#pragma once

#include <cstdio>
#include <string>

#include "common/errors.h"

namespace kestrova {

template <typename Operation>
std::string Raised(Operation operation) {
    try {
        operation();
    } catch (const ECustomError& e) {
        char code[16];
        std::snprintf(code, sizeof code, " 0x%08X ", e.Code);
        return e.ClassName() + (code + e.ProcName) + ": " + e.Message;
    } catch (const Exception& e) {
        return e.ClassName() + (": " + e.Message);
    }
    return "no error";
}

}  // namespace kestrova
