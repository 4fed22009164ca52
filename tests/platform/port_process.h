// A helper process that prints "PORT <n>" as its first line once it listens (the latency proxy,
// the fixture news server), started for the life of one object and stopped by its process id.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kestrova::testing {

class PortProcess {
  public:
    // Starts the program (found on PATH when it has no slash) with its arguments and waits for
    // its port; throws std::runtime_error when it does not start or prints something else.
    explicit PortProcess(const std::vector<std::string>& command);
    ~PortProcess();
    PortProcess(const PortProcess&) = delete;
    PortProcess& operator=(const PortProcess&) = delete;

    uint16_t Port() const { return port_; }

  private:
    void Stop();

    pid_t pid_ = -1;
    int output_ = -1;
    uint16_t port_ = 0;
};

// The folder of the running program (where the build puts every benchmark and tool).
std::string ProgramFolder();

}  // namespace kestrova::testing
