// The fixture news server (tools/fixture_news_server.py) as a child process of a test: a spool
// in a fresh folder that the test fills, options per test and the exchange log.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/port_process.h"
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

    std::string Spool() const { return folder_.Path() + "/spool"; }
    std::string LogFile() const { return folder_.Path() + "/exchange.log"; }

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
        WriteFile(Controls() + ".new", json);
        std::filesystem::rename(Controls() + ".new", Controls());
    }

    // Throws std::runtime_error when the server does not start.
    void Start(const std::vector<std::string>& options = {}) {
        std::vector<std::string> args = {"python3", ScriptPath(), "--spool", Spool(),
                                         "--port",  "0",          "--log",   LogFile()};
        if (std::filesystem::exists(Controls()))
            args.insert(args.end(), {"--controls", Controls()});
        args.insert(args.end(), options.begin(), options.end());
        process_ = std::make_unique<PortProcess>(args);
    }
    void Stop() { process_.reset(); }
    uint16_t Port() const { return process_ ? process_->Port() : 0; }

    std::string Log() const { return ReadWholeFile(LogFile()); }
    // The command lines the clients sent, in order.
    std::vector<std::string> ClientCommands() const {
        std::vector<std::string> lines;
        std::istringstream in(Log());
        for (std::string line; std::getline(in, line);) {
            const size_t at = line.find(" C: ");
            if (at != std::string::npos) lines.push_back(line.substr(at + 4));
        }
        return lines;
    }

  private:
    std::string Controls() const { return folder_.Path() + "/controls.json"; }

    static void WriteFile(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }

    // The source tree: ctest names it, else the current folder.
    static std::string ScriptPath() {
        const char* source = std::getenv("KESTROVA_SOURCE_DIR");
        return std::string(source != nullptr ? source : ".") + "/tools/fixture_news_server.py";
    }

    TempFolderForTest folder_;
    std::unique_ptr<PortProcess> process_;
};

}  // namespace kestrova::testing
