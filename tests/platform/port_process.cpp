#include "platform/port_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace kestrova::testing {

PortProcess::PortProcess(const std::vector<std::string>& command) {
    int pipe[2];
    if (::pipe(pipe) != 0) throw std::runtime_error("pipe: " + std::string(strerror(errno)));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipe[0]);
    std::vector<char*> arguments;
    for (const std::string& word : command) arguments.push_back(const_cast<char*>(word.c_str()));
    arguments.push_back(nullptr);
    const int status =
        posix_spawnp(&pid_, arguments[0], &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe[1]);
    if (status != 0) {
        close(pipe[0]);
        throw std::runtime_error("cannot start " + command[0] + ": " + strerror(status));
    }
    // The first line only: what the process prints later stays unread in the pipe (kept open
    // until the process is stopped, so that printing does not fail).
    output_ = pipe[0];
    std::string line;
    char c;
    while (line.size() < 64 && read(output_, &c, 1) == 1 && c != '\n') line += c;
    unsigned port = 0;
    if (std::sscanf(line.c_str(), "PORT %u", &port) != 1 || port == 0 || port > 65535) {
        Stop();
        throw std::runtime_error(command[0] + " did not print its port (\"" + line + "\")");
    }
    port_ = static_cast<uint16_t>(port);
}

PortProcess::~PortProcess() {
    Stop();
}

void PortProcess::Stop() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    close(output_);
}

std::string ProgramFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

}  // namespace kestrova::testing
