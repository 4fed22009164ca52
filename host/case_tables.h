// Upper and lower case of the bytes of a single-byte code page (Latin and Cyrillic letters).
#pragma once

namespace kestrova::host {

struct CaseTables {
    unsigned char Upper[256];
    unsigned char Lower[256];
};

// Throws HostError for a code page the platform does not support.
CaseTables MakeCaseTables(int codePage);

// The tables of the console's OEM code page, built on first use.
const CaseTables& OemCaseTables();

}  // namespace kestrova::host
