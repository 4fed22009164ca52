// The news session against the loopback news server of tools/peers/inn2.sh, directly or through
// Dante (tools/peers/dante.sh) with SOCKS 4 or SOCKS 5: the shared fixture of the conformance
// tests that talk NNTP, and the sample articles of tools/peers/seed.py.
#pragma once

#include <fnmatch.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/errors.h"
#include "conformance/peer_availability.h"
#include "news/news_internet_manager.h"
#include "news/news_proxy_manager.h"
#include "news/temp_home.h"
#include "platform/port_process.h"
#include "platform/temp_folder.h"
#include "plugin/panel_fixture.h"
#include "ui/fake_host.h"
#include "ui/panel_items.h"
#include "ui/plugin_options.h"

namespace kestrova::testing {

inline constexpr const char* kInnScript = "tools/peers/inn2.sh";
inline constexpr const char* kTestGroup = "kestrova.test";

inline const uint16_t kReaderPort = PeerPort("INN_READER_PORT", 1119);
inline const uint16_t kLoginPort = PeerPort("INN_AUTH_PORT", 1120);
inline const uint16_t kDantePort = PeerPort("DANTE_PORT", 1080);

// How the session reaches the server.
struct Route {
    const char* name;
    int socksVersion;  // 0: a direct connection
};

// The status line "211 count low high name" of GROUP.
struct GroupStatus {
    long count = -1, low = -1, high = -1;
};

inline GroupStatus ParseGroupStatus(const std::string& line) {
    GroupStatus status;
    int code = 0;
    std::istringstream(line) >> code >> status.count >> status.low >> status.high;
    return status;
}

// Message-ID of the sample article kind posted by seed.py under runId.
inline std::string SampleId(const std::string& kind, const std::string& runId) {
    return "<" + kind + "." + runId + "@seed.example.test>";
}

// The source tree: ctest names it, else the one this header is in.
inline std::string SourceFolder() {
    const char* sourceDir = std::getenv("KESTROVA_SOURCE_DIR");
    return sourceDir ? std::string(sourceDir)
                     : std::filesystem::path(__FILE__).parent_path().string() + "/../..";
}

// What the shell command prints on its standard output.
inline std::string CommandOutput(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (size_t got; pipe && (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, got);
    if (pipe) pclose(pipe);
    return out;
}

// A mark no earlier run made: prefix, the process id and the clock.
inline std::string FreshTag(const std::string& prefix) {
    return prefix + std::to_string(getpid()) + "x" +
           std::to_string(std::chrono::system_clock::now().time_since_epoch().count());
}

// Posts seed.py's sample articles with Message-IDs made of a fresh run id; returns the id.
inline std::string PostSamples() {
    const std::string runId = FreshTag("conf");
    const std::string command = "python3 '" + SourceFolder() +
                                "/tools/peers/seed.py' --samples --port " +
                                std::to_string(kReaderPort) + " --run-id " + runId + " >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return runId;
}

// The run id of sample articles posted once for the whole test program, for tests that only
// read them.
inline const std::string& SharedSamples() {
    static const std::string runId = PostSamples();
    return runId;
}

// The host's name matching as far as the group masks need it: * and ? wildcards.
inline int MatchGroupMask(const char* pattern, const char* name, int) {
    return fnmatch(pattern, name, 0) == 0 ? 1 : 0;
}

// wire_relay.py relaying to port and keeping the wire in a folder of its own.
struct WireRelay {
    explicit WireRelay(uint16_t port)
        : process({"python3", Script(), "relay", std::to_string(port), wire.Path()}) {}
    static std::string Script() { return SourceFolder() + "/tests/conformance/wire_relay.py"; }
    // The relay's account of the wire kept so far: mode "check" (the text in clear and the TLS
    // records after it) or "deflate" (what each side sent after switching to compression).
    std::string Report(const char* mode) const {
        return CommandOutput("python3 '" + Script() + "' " + mode + " '" + wire.Path() + "'");
    }

    TempFolderForTest wire;
    PortProcess process;
};

// A panel item of a listing.
struct Listed {
    intptr_t number;
    std::string name, description, time;
};

class Inn2Session : public HostTest, public ::testing::WithParamInterface<Route> {
  protected:
    Inn2Session() : savedOptions_(Options) {
        Options.Connect.CreateLog = 1;
        Options.Connect.LogLevel = 3;
        Options.Connect.LogFile = "session.log";
        Options.Connect.ServerTimeout = 5;  // 10 seconds: a broken exchange fails, never hangs
        Options.Connect.CacheLife = 0;
        // The tests compare whole groups, and the server keeps every earlier run's articles.
        Options.Connect.HeadersOnFirstEntry = 0;
        StartupInfo.CmpName = &MatchGroupMask;
    }
    ~Inn2Session() override {
        manager.reset();
        Options = savedOptions_;
    }

    void SetUp() override {
        SKIP_UNLESS_LISTENING(kReaderPort, "the news server", kInnScript, "INN_READER_PORT");
        if (GetParam().socksVersion != 0) {
            SKIP_UNLESS_LISTENING(kDantePort, "dante", "tools/peers/dante.sh", "DANTE_PORT");
        }
    }

    // The session transcript helps when a test fails.
    void TearDown() override {
        if (!HasFailure()) return;
        std::cerr << "--- session log ---\n" << SessionLog() << "--- end ---\n";
    }

    // A new manager of the route's kind, connected to port.
    void ConnectTo(uint16_t port) {
        TAccountOptions account;
        account.Url = {"news", "127.0.0.1", port, "", "", "", ""};
        ConnectAccount(account);
    }

    // A new manager of the route's kind, connected to account.
    void ConnectAccount(const TAccountOptions& account) {
        const Route& route = GetParam();
        if (route.socksVersion == 0) {
            manager = std::make_unique<TNewsInternetManager>(nullptr);
        } else {
            Options.Proxy.Url.HostName = "127.0.0.1";
            Options.Proxy.Url.Port = kDantePort;
            Options.Proxy.Socks5 = route.socksVersion == 5 ? 1 : 0;
            manager = std::make_unique<TNewsProxyManager>(nullptr);
        }
        manager->Connect(account);
    }

    // Sends command; returns its status (unchecked, so the test sees every code).
    TNntpStatus Send(const std::string& command, const std::string& argument = "") {
        return manager->Connection().Command(CommandLine(command, argument), kLogCommand,
                                             kKeepReply);
    }

    // The items the manager lists at its level.
    std::vector<Listed> List() {
        PluginPanelItem* items = nullptr;
        int count = 0;
        manager->GetFindData(items, count);
        std::vector<Listed> listed;
        for (int i = 0; i < count; ++i) {
            const FILETIME& time = items[i].FindData.ftLastWriteTime;
            listed.push_back(
                {items[i].UserData, items[i].FindData.cFileName,
                 items[i].Description ? items[i].Description : "",
                 std::to_string(time.dwLowDateTime) + ":" + std::to_string(time.dwHighDateTime)});
        }
        FreePanelItems(items, count);
        return listed;
    }

    // number -> "subject|message-id|date" of the items listed.
    static std::map<intptr_t, std::string> IndexOf(const std::vector<Listed>& listed) {
        std::map<intptr_t, std::string> index;
        for (const Listed& item : listed)
            index[item.number] = item.name + "|" + item.description + "|" + item.time;
        return index;
    }
    // The index of group entered with an empty index, then left.
    std::map<intptr_t, std::string> Index(const std::string& group) {
        manager->Cache().Blocks().Delete(group);
        manager->SetDirectory(group);
        const std::vector<Listed> listed = List();
        manager->SetDirectory("..");
        return IndexOf(listed);
    }

    std::string SessionLog() const { return home.ReadFile("session.log"); }

    TempHomeForTest home;
    std::unique_ptr<TNewsInternetManager> manager;

  private:
    TPluginOptions savedOptions_;
};

// The panel on the server's reader port, with the shared sample articles posted.
class Inn2Panel : public PanelTest {
  protected:
    void SetUp() override {
        SKIP_UNLESS_LISTENING(kReaderPort, "the news server", kInnScript, "INN_READER_PORT");
        Options.Connect.ServerTimeout = 5;
        runId = SharedSamples();
    }
    void TearDown() override {
        if (items) panel.FreeFindData(items, count);
    }

    void OpenGroup(const std::string& group) {
        panel.OpenCommandLine("//127.0.0.1:" + std::to_string(kReaderPort) + "/");
        ASSERT_EQ(panel.SetDirectory(group, 0), 1);
        ASSERT_EQ(panel.GetFindData(&items, &count, 0), 1);
    }
    // The index of the listed shared sample of kind; -1 when it is not listed.
    int SampleIndex(const char* kind) const {
        for (int i = 0; i < count; ++i)
            if (items[i].Description && SampleId(kind, runId) == items[i].Description) return i;
        return -1;
    }

    TNntpPlugin panel;
    std::string runId;
    PluginPanelItem* items = nullptr;
    int count = 0;
};

inline const Route kRoutes[] = {{"Direct", 0}, {"DanteSocks4", 4}, {"DanteSocks5", 5}};

inline std::string RouteName(const ::testing::TestParamInfo<Route>& info) {
    return info.param.name;
}

}  // namespace kestrova::testing
