// The answer about existing targets, carried from item to item of one copy.
#pragma once

#include <string>

#include "hostapi/plugin_api.h"

namespace kestrova {

// Whether a file, or a link to one or to nothing, takes the target's name (a folder does not);
// existing gets what is known of it.
bool TargetTaken(const std::string& target, FAR_FIND_DATA& existing);

class TOverwriteAnswer {
  public:
    // Whether to write source over existing (null: no such target). Asks unless an earlier
    // answer was for all; "for all" applies only to targets that exist, so a skip for all
    // still writes new targets. Cancel is a silent abort.
    bool Decide(const FAR_FIND_DATA& source, const FAR_FIND_DATA* existing);
    // The same for the file target (OEM path): asks when TargetTaken.
    bool Decide(const FAR_FIND_DATA& source, const std::string& target);

  private:
    unsigned answer_ = 0;
};

}  // namespace kestrova
