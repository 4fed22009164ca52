// Browsing speed against the loopback news server of tools/peers/inn2.sh (prepared by
// bench/run_news_bench.sh): the news session entering a group of many articles the first time
// (the HEAD/NEXT walk), entering it again after new articles arrived (GROUP, NEWNEWS and the
// HEADs of the new ones), and listing every group with LIST, each the way the panel's listing
// does it (GetFindData). Each figure is printed beside its floor, measured in the same run: the
// same command sequence sent by a minimal blocking client that does nothing with the replies.
// Both are connected before their clocks start: the figures compare the commands, not the
// server's start of a reader session.
//
//   news_bench [--pipeline-depth N] [GROUP]
//     N: the session's pipeline depth, 1..1024 (default: the option's default)
//     GROUP: the group to enter (default kestrova.bench.walk)
#include <fnmatch.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bench/nntp_floor_client.h"
#include "common/errors.h"
#include "conformance/peer_availability.h"
#include "news/article_header.h"
#include "news/list_block.h"
#include "news/news_internet_manager.h"
#include "news/temp_home.h"
#include "ui/host_services.h"
#include "ui/panel_items.h"
#include "ui/plugin_options.h"

namespace kestrova::bench {
namespace {

constexpr int kRepeats = 3;
constexpr int kNewArticles = 100;
constexpr const char* kDefaultGroup = "kestrova.bench.walk";

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

uint16_t ReaderPort() {
    return testing::PeerPort("INN_READER_PORT", 1119);
}

// The host services the session uses here: message texts and group mask matching.
const char* NoText(intptr_t, int) {
    return "";
}
int MatchGroupMask(const char* pattern, const char* name, int) {
    return fnmatch(pattern, name, 0) == 0 ? 1 : 0;
}

void InstallHost() {
    StartupInfo.StructSize = sizeof StartupInfo;
    StartupInfo.GetMsg = &NoText;
    StartupInfo.CmpName = &MatchGroupMask;
    Options.Connect.CreateLog = 0;
    Options.Connect.CacheLife = 0;
    Options.Connect.ServerTimeout = 15;  // 30 seconds: a stuck server fails the run
}

// A connected news session with its own empty home folder (so its cache starts empty).
struct Session {
    TempHomeForTest home;
    std::unique_ptr<TNewsInternetManager> manager;

    Session() {
        manager = std::make_unique<TNewsInternetManager>(nullptr);
        TAccountOptions account;
        account.Url.Scheme = "news";
        account.Url.HostName = "127.0.0.1";
        account.Url.Port = ReaderPort();
        manager->Connect(account);
    }

    // The panel's listing of the current level, inside the action the panel wraps it in;
    // returns the number of items.
    int List() {
        PluginPanelItem* items = nullptr;
        int count = 0;
        InAction(kListAction, [&] { manager->GetFindData(items, count); });
        FreePanelItems(items, count);
        return count;
    }

    // The panel's change of directory.
    void Enter(const std::string& name) {
        InAction(kSetDirectoryAction, [&] { manager->SetDirectory(name); });
    }

  private:
    // The panel's request numbers of listing and changing directory.
    static constexpr int kListAction = 0x8001;
    static constexpr int kSetDirectoryAction = 0x8005;

    void InAction(int action, const std::function<void()>& body) {
        manager->StartAction(action);
        try {
            body();
        } catch (...) {
            manager->StopAction(action);
            throw;
        }
        manager->StopAction(action);
    }
};

struct Figure {
    std::vector<double> session, floor;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Print(const char* name, const Figure& figure) {
    const double session = Median(figure.session);
    const double floor = Median(figure.floor);
    std::printf("%-44s session %8.1f ms   floor %8.1f ms   ratio %5.2f\n", name, session * 1e3,
                floor * 1e3, session / floor);
    std::printf("%-44s runs:", "");
    for (size_t i = 0; i < figure.session.size(); ++i) {
        std::printf(" %.1f/%.1f", figure.session[i] * 1e3, figure.floor[i] * 1e3);
    }
    std::printf(" ms\n");
}

// Runs the session's and the floor's measurement, alternating which goes first.
void Measure(int repeat, Figure& figure, const std::function<double()>& session,
             const std::function<double()>& floor) {
    if (repeat % 2 == 0) {
        figure.session.push_back(session());
        figure.floor.push_back(floor());
    } else {
        figure.floor.push_back(floor());
        figure.session.push_back(session());
    }
}

void Check(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(what);
}

// GROUP, then HEAD and NEXT until NEXT finds no next article; returns the headers read.
size_t FloorWalk(NntpFloorClient& client, const std::string& group) {
    Check(client.Command("GROUP " + group) == 211, "GROUP: " + client.StatusLine());
    size_t headers = 0;
    for (;;) {
        if (client.Command("HEAD") == 221) {
            client.SkipBlock();
            ++headers;
        }
        if (client.Command("NEXT") != 223) return headers;
    }
}

// GROUP, NEWNEWS since, then HEAD of each identifier named; returns the headers read.
size_t FloorNewNews(NntpFloorClient& client, const std::string& group, const std::string& since) {
    Check(client.Command("GROUP " + group) == 211, "GROUP: " + client.StatusLine());
    Check(client.Command("NEWNEWS " + group + " " + since) == 230,
          "NEWNEWS: " + client.StatusLine());
    size_t headers = 0;
    for (const std::string& identifier : client.ReadBlock()) {
        if (client.Command("HEAD " + identifier) == 221) {
            client.SkipBlock();
            ++headers;
        }
    }
    return headers;
}

size_t FloorList(NntpFloorClient& client) {
    Check(client.Command("LIST") == 215, "LIST: " + client.StatusLine());
    return client.SkipBlock();
}

// The NEWNEWS argument the session sends for the index stamp of group.
std::string IndexStamp(Session& session, const std::string& group) {
    TListBlock index(TArticleHeader::kSize);
    Check(FetchList(*session.manager, group, index), "no cached index of " + group);
    const SYSTEMTIME since = index.Stamp();
    char text[64];
    std::snprintf(text, sizeof text, "%02d%02d%02d %02d%02d%02d GMT", since.wYear % 100,
                  since.wMonth, since.wDay, since.wHour, since.wMinute, since.wSecond);
    return text;
}

// Feeds count new articles into group through the seeding tool of tools/peers.
void PostArticles(const std::string& group, int count) {
    const std::string command = std::string("python3 '") + KESTROVA_SOURCE_DIR +
                                "/tools/peers/seed.py' --feed --count " + std::to_string(count) +
                                " --group '" + group + "' >/dev/null";
    Check(std::system(command.c_str()) == 0, "seeding failed: " + command);
    // NEWNEWS works in whole seconds: the next stamp must come after these arrivals.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
}

void Run(const std::string& group) {
    Figure walk, newNews, list;
    size_t walked = 0, listed = 0;

    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        size_t floorCount = 0;
        int sessionCount = 0;
        Measure(
            repeat, walk,
            [&] {
                Session session;
                const Clock::time_point start = Clock::now();
                session.Enter(group);
                sessionCount = session.List();
                return SecondsSince(start);
            },
            [&] {
                NntpFloorClient client(ReaderPort());
                const Clock::time_point start = Clock::now();
                floorCount = FloorWalk(client, group);
                return SecondsSince(start);
            });
        Check(static_cast<size_t>(sessionCount) == floorCount,
              "walk: the session listed " + std::to_string(sessionCount) +
                  " articles, the floor read " + std::to_string(floorCount));
        walked = floorCount;
    }

    // One session walks the group once (not measured), then enters it again after each batch.
    Session reader;
    reader.Enter(group);
    int known = reader.List();
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        reader.Enter("..");
        PostArticles(group, kNewArticles);
        const std::string since = IndexStamp(reader, group);
        size_t floorCount = 0;
        int sessionCount = 0;
        Measure(
            repeat, newNews,
            [&] {
                const Clock::time_point start = Clock::now();
                reader.Enter(group);
                sessionCount = reader.List();
                return SecondsSince(start);
            },
            [&] {
                NntpFloorClient client(ReaderPort());
                const Clock::time_point start = Clock::now();
                floorCount = FloorNewNews(client, group, since);
                return SecondsSince(start);
            });
        Check(static_cast<size_t>(sessionCount - known) == floorCount &&
                  floorCount == static_cast<size_t>(kNewArticles),
              "re-entry: the session added " + std::to_string(sessionCount - known) +
                  " articles, the floor read " + std::to_string(floorCount) + " of " +
                  std::to_string(kNewArticles));
        known = sessionCount;
    }

    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        size_t floorCount = 0;
        int sessionCount = 0;
        Measure(
            repeat, list,
            [&] {
                Session session;
                const Clock::time_point start = Clock::now();
                session.manager->GroupMask = "*";
                session.manager->SetState(NewsState::AllGroups);
                session.manager->ReloadGroupList = 1;
                sessionCount = session.List();
                return SecondsSince(start);
            },
            [&] {
                NntpFloorClient client(ReaderPort());
                const Clock::time_point start = Clock::now();
                floorCount = FloorList(client);
                return SecondsSince(start);
            });
        Check(static_cast<size_t>(sessionCount) == floorCount,
              "LIST: the session listed " + std::to_string(sessionCount) +
                  " groups, the floor read " + std::to_string(floorCount));
        listed = floorCount;
    }

    std::printf(
        "news browsing against 127.0.0.1:%u, pipeline depth %d, median of %d runs "
        "(session/floor)\n",
        ReaderPort(), Options.Connect.PipelineDepth, kRepeats);
    Print(("first entry: walk of " + std::to_string(walked) + " articles").c_str(), walk);
    Print(("second entry: NEWNEWS, " + std::to_string(kNewArticles) + " new articles").c_str(),
          newNews);
    Print(("LIST of " + std::to_string(listed) + " groups").c_str(), list);
}

}  // namespace
}  // namespace kestrova::bench

int main(int argc, char** argv) {
    using namespace kestrova;
    std::string group = bench::kDefaultGroup;
    int depth = kDefaultPipelineDepth;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--pipeline-depth" && i + 1 < argc) {
            depth = std::atoi(argv[++i]);
            if (depth < 1 || depth > kMaxPipelineDepth) {
                std::fprintf(stderr, "news_bench: --pipeline-depth takes 1..%d\n",
                             kMaxPipelineDepth);
                return 2;
            }
        } else if (arg.starts_with("-")) {
            std::fprintf(stderr, "usage: news_bench [--pipeline-depth N] [GROUP]\n");
            return 2;
        } else {
            group = arg;
        }
    }
    if (!testing::PeerListening(bench::ReaderPort())) {
        std::printf(
            "skipped: no news server listens on 127.0.0.1:%u.\n"
            "Prepare and run everything with: sudo bash bench/run_news_bench.sh\n"
            "(or start the server: bash tools/peers/inn2.sh start; port from INN_READER_PORT)\n",
            bench::ReaderPort());
        return 0;
    }
    bench::InstallHost();
    Options.Connect.PipelineDepth = depth;
    try {
        bench::Run(group);
    } catch (const ECustomError& failure) {
        std::fprintf(stderr, "news_bench: %s (%s)\n", failure.Message.c_str(),
                     failure.ProcName.c_str());
        return 1;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "news_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
