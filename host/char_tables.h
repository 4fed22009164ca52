// The host's character tables: each converts between one character set and the OEM code page.
#pragma once

#include "hostapi/plugin_api.h"

namespace kestrova::host {

int CharTableCount();

// Fills table n (0 = KOI-8, 1 = CP-1251, 2 = ISO 8859-5): DecodeTable maps the set's bytes to
// OEM, EncodeTable OEM to the set ('?' where the other side has no such character; ASCII maps to
// itself), UpperTable and LowerTable are the case of the set's own bytes. False for a table the
// host does not have.
bool FillCharTableSet(int n, CharTableSet& table);

}  // namespace kestrova::host
