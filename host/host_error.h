// The host's own failures: a module that cannot be loaded, a bad language file, a bad script or
// an answer that does not fit. They end the run with their text.
#pragma once

#include <stdexcept>

namespace kestrova::host {

class HostError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace kestrova::host
