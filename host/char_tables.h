// The host's character tables: each converts between one character set and the OEM code page.
#pragma once

#include "hostapi/plugin_api.h"

namespace kestrova::host {

int CharTableCount();

// Fills table n (0 = KOI-8, 1 = CP-1251, 2 = ISO 8859-5): DecodeTable maps the set's bytes to
// OEM, EncodeTable OEM to the set ('?' where the other side has no such character; ASCII maps to
// itself; with a UTF-8 OEM code page, whose other characters are no single bytes, only ASCII
// maps), UpperTable and LowerTable are the case of the set's own bytes. False for a table the
// host does not have.
bool FillCharTableSet(int n, CharTableSet& table);

// The code page of table n (20866, 1251, 28595), or 0 for a table the host does not have.
int CharTableCodePage(int n);

}  // namespace kestrova::host
