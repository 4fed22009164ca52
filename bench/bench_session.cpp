#include "bench/bench_session.h"

#include <fnmatch.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>

#include "common/errors.h"
#include "net/win_socket.h"
#include "news/nntp_connection.h"
#include "ui/host_services.h"
#include "ui/panel_items.h"
#include "ui/plugin_options.h"

namespace kestrova::bench {

namespace {

// The panel's request numbers of listing and changing directory.
constexpr int kListAction = 0x8001;
constexpr int kSetDirectoryAction = 0x8005;

const char* NoText(intptr_t, int) {
    return "";
}

int MatchGroupMask(const char* pattern, const char* name, int) {
    return fnmatch(pattern, name, 0) == 0 ? 1 : 0;
}

// The session's socket, counting what comes from the network into count.
class CountingSocket final : public TWinSocket {
  public:
    explicit CountingSocket(size_t& count)
        : TWinSocket(Options.Connect.ServerTimeout, kNewsSocketBufferSize), count_(count) {}

  protected:
    long ReceiveBytes(char* space, size_t size) override {
        const long count = TWinSocket::ReceiveBytes(space, size);
        if (count > 0) count_ += static_cast<size_t>(count);
        return count;
    }

  private:
    size_t& count_;
};

class CountingManager final : public TNewsInternetManager {
  public:
    explicit CountingManager(size_t& count)
        : TNewsInternetManager(nullptr, NoSocket{}), count_(count) {
        AttachSocket(CreateSocket());
    }
    std::unique_ptr<TWinSocket> CreateSocket() override {
        return std::make_unique<CountingSocket>(count_);
    }

  private:
    size_t& count_;
};

}  // namespace

void InstallBenchHost() {
    StartupInfo.StructSize = sizeof StartupInfo;
    StartupInfo.GetMsg = &NoText;
    StartupInfo.CmpName = &MatchGroupMask;
    Options.Connect.CreateLog = 0;
    Options.Connect.CacheLife = 0;
    Options.Connect.ServerTimeout = 15;       // 30 seconds: a stuck server fails the run
    Options.Connect.HeadersOnFirstEntry = 0;  // every group entered whole
}

Session::Session(uint16_t port) {
    manager = std::make_unique<CountingManager>(wireBytes);
    TAccountOptions account;
    account.Url.Scheme = "news";
    account.Url.HostName = "127.0.0.1";
    account.Url.Port = port;
    manager->Connect(account);
}

int Session::List() {
    PluginPanelItem* items = nullptr;
    int count = 0;
    InAction(kListAction, [&] { manager->GetFindData(items, count); });
    FreePanelItems(items, count);
    return count;
}

void Session::Enter(const std::string& name) {
    InAction(kSetDirectoryAction, [&] { manager->SetDirectory(name); });
}

int Session::ListAllGroups() {
    manager->ShowServerGroups("*");
    manager->SetReloadGroupList(true);
    return List();
}

void Session::InAction(int action, const std::function<void()>& body) {
    manager->StartAction(action);
    try {
        body();
    } catch (...) {
        manager->StopAction(action);
        throw;
    }
    manager->StopAction(action);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int RunReportingFailure(const char* program, const std::function<void()>& body) {
    try {
        body();
        return 0;
    } catch (const ECustomError& failure) {
        std::fprintf(stderr, "%s: %s (%s)\n", program, failure.Message.c_str(),
                     failure.ProcName.c_str());
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s: %s\n", program, failure.what());
    }
    return 1;
}

}  // namespace kestrova::bench
