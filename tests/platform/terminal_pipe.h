// A pipe standing in for the host's terminal: what the platform writes can be read back.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "platform/terminal_output.h"

class TerminalPipe {
  public:
    TerminalPipe() {
        if (pipe2(fds_, O_NONBLOCK) != 0) fds_[0] = fds_[1] = -1;
        kestrova::platform::SetTerminalOutput(fds_[1]);
    }
    TerminalPipe(const TerminalPipe&) = delete;
    TerminalPipe& operator=(const TerminalPipe&) = delete;
    ~TerminalPipe() {
        kestrova::platform::SetTerminalOutput(-1);
        for (int fd : fds_) {
            if (fd >= 0) close(fd);
        }
    }

    bool Open() const { return fds_[1] >= 0; }

    // Everything written since the last call.
    std::string Take() {
        std::string out;
        char buffer[4096];
        ssize_t got;
        while ((got = read(fds_[0], buffer, sizeof(buffer))) > 0) out.append(buffer, got);
        return out;
    }

  private:
    int fds_[2];
};
