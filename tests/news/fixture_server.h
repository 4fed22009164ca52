// The fixture news server (tools/fixture_news_server.py) as a child process of a test: a spool
// in a fresh folder that the test fills, options per test, the port read from the server's first
// line, the exchange log, and a stop by the child's process id.
//
//   FixtureNewsServer server;
//   server.AddGroup("alt.test");
//   server.AddArticle("alt.test", 1, "Message-ID: <1@x>\r\nSubject: hi\r\n\r\nbody\r\n");
//   server.Start({"--greeting", "201 no posting"});
//   ... connect to 127.0.0.1:server.Port() ...
//   EXPECT_EQ(server.ClientCommands(), ...);
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/temp_folder.h"
#include "temp_home.h"

namespace kestrova::testing {

class FixtureNewsServer {
  public:
    FixtureNewsServer() {
        if (folder_.Path().empty()) throw std::runtime_error("no temporary folder");
        std::filesystem::create_directories(Spool());
        WriteFile(Spool() + "/groups", "");
    }
    ~FixtureNewsServer() { Stop(); }
    FixtureNewsServer(const FixtureNewsServer&) = delete;
    FixtureNewsServer& operator=(const FixtureNewsServer&) = delete;

    std::string Spool() const { return folder_.Path() + "/spool"; }
    std::string LogFile() const { return folder_.Path() + "/exchange.log"; }
    std::string ControlsFile() const { return folder_.Path() + "/controls.json"; }

    // flag: y (posting), m (moderated) or n (read-only); created: UTC time for NEWGROUPS.
    void AddGroup(const std::string& name, const std::string& flag = "y",
                  const std::string& created = "2023-01-10T09:00:00Z") {
        std::ofstream(Spool() + "/groups", std::ios::app)
            << name << ' ' << flag << ' ' << created << " test group\n";
    }
    // text: the article as it travels, without dot-stuffing.
    void AddArticle(const std::string& group, int number, const std::string& text) {
        std::filesystem::create_directories(Spool() + "/" + group);
        WriteFile(Spool() + "/" + group + "/" + std::to_string(number), text);
    }
    // The knobs as a JSON object; the server applies a change of the file while it runs.
    void SetControls(const std::string& json) {
        WriteFile(ControlsFile() + ".new", json);
        std::filesystem::rename(ControlsFile() + ".new", ControlsFile());
    }

    // Starts the server with the spool, the exchange log, the controls file (when written) and
    // options; throws std::runtime_error when it does not report its port in time.
    void Start(const std::vector<std::string>& options = {}) {
        std::vector<std::string> args = {"python3", ScriptPath(), "--spool", Spool(),
                                         "--port",  "0",          "--log",   LogFile()};
        if (std::filesystem::exists(ControlsFile())) {
            args.insert(args.end(), {"--controls", ControlsFile()});
        }
        args.insert(args.end(), options.begin(), options.end());

        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            std::vector<char*> argv;
            for (std::string& arg : args) argv.push_back(arg.data());
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        output_ = out[0];
        if (pid_ < 0) throw std::runtime_error("fork");
        const std::string first = ReadOutputLine(std::chrono::seconds(10));
        if (first.rfind("PORT ", 0) != 0) {
            Stop();
            throw std::runtime_error("fixture server did not start: '" + first + "'");
        }
        port_ = static_cast<uint16_t>(std::stoi(first.substr(5)));
    }

    void Stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
            pid_ = -1;
        }
        if (output_ >= 0) close(output_);
        output_ = -1;
    }

    uint16_t Port() const { return port_; }

    std::string Log() const { return ReadWholeFile(LogFile()); }
    // The command lines the clients sent, in order.
    std::vector<std::string> ClientCommands() const { return LogLines(" C: "); }
    // The status lines the server sent, in order.
    std::vector<std::string> ServerReplies() const { return LogLines(" S: "); }

  private:
    static void WriteFile(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }

    static std::string ScriptPath() {
        const char* source = std::getenv("KESTROVA_SOURCE_DIR");
        const std::filesystem::path root =
            source != nullptr
                ? std::filesystem::path(source)
                : std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
        return (root / "tools" / "fixture_news_server.py").string();
    }

    std::string ReadOutputLine(std::chrono::milliseconds timeout) const {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd ready{output_, POLLIN, 0};
            if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
                return line;
            }
            char c;
            if (read(output_, &c, 1) != 1 || c == '\n') return line;
            line.push_back(c);
        }
    }

    std::vector<std::string> LogLines(const std::string& marker) const {
        std::vector<std::string> lines;
        std::istringstream in(Log());
        for (std::string line; std::getline(in, line);) {
            const size_t at = line.find(marker);
            if (at != std::string::npos) lines.push_back(line.substr(at + marker.size()));
        }
        return lines;
    }

    TempFolderForTest folder_;
    pid_t pid_ = -1;
    int output_ = -1;
    uint16_t port_ = 0;
};

}  // namespace kestrova::testing
