// The news session as the benchmarks drive it: connected to a loopback port, with its own empty
// home folder (so its cache starts empty), listing and changing folders the way the panel does.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "news/news_internet_manager.h"
#include "news/temp_home.h"

namespace kestrova::bench {

// The host services the session uses (message texts, group mask matching) and options that
// keep the benchmarks quiet: no log, nothing expires, a stuck server fails within 30 seconds,
// every group is entered whole.
void InstallBenchHost();

struct Session {
    TempHomeForTest home;
    // The bytes the connection brought from the network, before they were inflated (so on a
    // compressed connection, the compressed ones).
    size_t wireBytes = 0;
    std::unique_ptr<TNewsInternetManager> manager;

    explicit Session(uint16_t port);

    // The panel's listing of the current level, inside the action the panel wraps it in;
    // returns the number of items.
    int List();
    // The panel's change of directory.
    void Enter(const std::string& name);
    // Lists every group of the server, as after "read again" on the server's group list.
    int ListAllGroups();

  private:
    void InAction(int action, const std::function<void()>& body);
};

double Median(std::vector<double> values);

// Runs a benchmark's body; returns 0, or 1 after printing what failed as "program: reason".
int RunReportingFailure(const char* program, const std::function<void()>& body);

}  // namespace kestrova::bench
