// Texts of the host's language file, fetched by message number.
#pragma once

namespace kestrova {

// The host's text for message num; it stays valid while the module is loaded (callers copy it
// when they keep it). An empty text when the host offers no language service or has no text.
const char* GetMsg(int num);

}  // namespace kestrova
