// Upper and lower case of the bytes of a single-byte code page (Latin and Cyrillic letters); of
// UTF-8, the ASCII letters.
#pragma once

#include <string>
#include <string_view>

namespace kestrova::host {

struct CaseTables {
    unsigned char Upper[256];
    unsigned char Lower[256];
};

// Throws HostError for a code page the platform does not support.
CaseTables MakeCaseTables(int codePage);

// The tables of the console's OEM code page, built on first use.
const CaseTables& OemCaseTables();

// OEM text in upper case: byte by byte through OemCaseTables, or, with a UTF-8 OEM code page,
// character by character (ASCII, Latin-1 and Cyrillic letters, whose cases are equally long).
std::string UpperOemText(std::string_view oemText);

}  // namespace kestrova::host
