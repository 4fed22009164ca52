// What a news server says it offers: the lines of its CAPABILITIES list, read into the few
// facts the reader acts on.
#pragma once

#include <string_view>

namespace kestrova {

struct TCapabilities {
    bool Listed = false;          // the server answered CAPABILITIES with a list
    bool Reader = false;          // READER: the reading commands work now
    bool ModeReader = false;      // MODE-READER: they work after MODE READER
    bool Over = false;            // OVER: overview by range
    bool OverviewFormat = false;  // LIST OVERVIEW.FMT
    bool StartTls = false;
    bool CompressDeflate = false;
};

// Takes one line of the list: a capability label and its arguments, any case.
void ApplyCapabilityLine(std::string_view line, TCapabilities& capabilities);

// The status line (a 401) names MODE-READER: the server reads only after MODE READER.
bool NamesModeReader(std::string_view statusLine);

}  // namespace kestrova
