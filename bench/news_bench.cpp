// Browsing speed against the loopback news server of tools/peers/inn2.sh (prepared by
// bench/run_news_bench.sh): the news session entering a group of many articles the first time
// (the HEAD/NEXT walk, with the option UseOverview off), entering it again after new articles
// arrived (GROUP, NEWNEWS and the HEADs of the new ones), and listing every group with LIST, each
// the way the panel's listing does it (GetFindData). Each figure is printed beside its floor,
// measured in the same run: the same command sequence sent by a minimal blocking client that does
// nothing with the replies, with as many commands ahead of their replies as the session's
// pipeline depth. The same group entered by the server's overview (OVER) and entered again after
// new articles (GROUP and OVER of the new numbers) are printed beside the floor of GROUP and one
// OVER of the whole range, and compared with the walk's floor. A large group (a hundred thousand
// articles), when given, is entered by the overview with every header on the first entry, and the
// peak growth of the resident memory while entering it is printed beside the overview's size.
// The large group is also entered compressed and uncompressed through a link of a 20 ms round
// trip and 20 Mbit/s (the latency proxy's rate cap), with the bytes that came over the link, and
// the compressed entry is set beside the limit that link sets: one round trip and the compressed
// bytes at its rate.
//
// Every case runs directly (0 ms) and through the latency proxy (a 20 ms round trip), with the
// session's pipeline depth (and the floor's window) at the default and at 1. Walking 10,000
// articles one command at a time over 20 ms takes 400 s, so at that distance depth 1 walks the
// short group and the speed-up is the ratio of both depths on it. Sessions and floor clients
// are connected before their clocks start: the figures compare the commands, not the start of
// a reader session.
//
//   news_bench [--pipeline-depth N] [GROUP [SHORT_GROUP [LARGE_GROUP]]]
//     N: the pipelined depth, 1..1024 (default: the option's default)
//     GROUP: the group to enter (default kestrova.bench.walk), SHORT_GROUP: a group of a few
//     hundred articles (default kestrova.bench.walk.short), LARGE_GROUP: the large group (none
//     by default)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench/bench_session.h"
#include "bench/nntp_floor_client.h"
#include "bench/resident_memory.h"
#include "conformance/peer_availability.h"
#include "news/article_header.h"
#include "news/list_block.h"
#include "news/reply_codes.h"
#include "platform/port_process.h"
#include "ui/plugin_options.h"

namespace kestrova::bench {
namespace {

using testing::PortProcess;
using testing::ProgramFolder;

constexpr int kRepeats = 3;
constexpr int kNewArticles = 100;
constexpr const char* kProxyDelayMs = "10";  // each way: a 20 ms round trip
constexpr double kNarrowRate = 2.5e6;        // bytes per second each way: 20 Mbit/s
constexpr int kRoundTripSamples = 21;
constexpr int64_t kOverviewChunk = 1000;  // the numbers one OVER of the session asks for

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

uint16_t ReaderPort() {
    return testing::PeerPort("INN_READER_PORT", 1119);
}

struct Settings {
    int depth = kDefaultPipelineDepth;
    std::string group = "kestrova.bench.walk";
    std::string shortGroup = "kestrova.bench.walk.short";
    std::string largeGroup;  // none: its rows are left out
};

// One way to the server: directly or through the latency proxy.
struct Link {
    const char* name;
    uint16_t port;
};

// One case at one depth through one link, with the times of every run.
struct Row {
    Row(std::string what_, const Link* link_, int depth_, std::string group_)
        : what(std::move(what_)), link(link_), depth(depth_), group(std::move(group_)) {}

    std::string what;
    const Link* link;
    int depth;
    std::string group;
    // Sets the options this row's session differs in from the others (after the depth and the
    // use of the overview); every row starts from the same options.
    std::function<void()> setUp;
    size_t items = 0;
    size_t wireBytes = 0;  // what the session's last run brought over the link
    std::vector<double> session, floor;

    double SessionTime() const { return Median(session); }
    double FloorTime() const { return Median(floor); }
};

void Check(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(what);
}

// GROUP, then HEAD and NEXT with up to window commands ahead of their replies, until NEXT finds
// no next article (what was sent after that is read and dropped); returns the headers read.
size_t FloorWalk(NntpFloorClient& client, const std::string& group, int window) {
    Check(client.Command("GROUP " + group) == kReplyGroupSelected, "GROUP: " + client.StatusLine());
    size_t headers = 0;
    int ahead = 0;
    bool sendHead = true, replyToHead = true, ended = false;
    for (;;) {
        for (; !ended && ahead < window; ++ahead, sendHead = !sendHead) {
            client.Send(sendHead ? "HEAD" : "NEXT");
        }
        if (ahead == 0) return headers;
        const int code = client.ReadStatus();
        --ahead;
        if (replyToHead && code == kReplyHeadFollows) {
            client.SkipBlock();
            if (!ended) ++headers;
        }
        if (!replyToHead && code != kReplyArticleSelected) ended = true;
        replyToHead = !replyToHead;
    }
}

// GROUP, NEWNEWS since, then HEAD of each identifier named, up to window ahead; returns the
// headers read.
size_t FloorNewNews(NntpFloorClient& client, const std::string& group, const std::string& since,
                    int window) {
    Check(client.Command("GROUP " + group) == kReplyGroupSelected, "GROUP: " + client.StatusLine());
    Check(client.Command("NEWNEWS " + group + " " + since) == kReplyNewNewsFollows,
          "NEWNEWS: " + client.StatusLine());
    const std::vector<std::string> identifiers = client.ReadBlock();
    size_t headers = 0, sent = 0;
    int ahead = 0;
    for (;;) {
        for (; sent < identifiers.size() && ahead < window; ++sent, ++ahead) {
            client.Send("HEAD " + identifiers[sent]);
        }
        if (ahead == 0) return headers;
        --ahead;
        if (client.ReadStatus() == kReplyHeadFollows) {
            client.SkipBlock();
            ++headers;
        }
    }
}

// GROUP, then one OVER of the numbers from first (0: the group's low mark) to the high mark;
// returns the overview lines read, and adds their bytes to bytes.
size_t FloorOverview(NntpFloorClient& client, const std::string& group, int64_t first,
                     size_t& bytes) {
    Check(client.Command("GROUP " + group) == kReplyGroupSelected, "GROUP: " + client.StatusLine());
    long long count = 0, low = 0, high = 0;
    Check(std::sscanf(client.StatusLine().c_str(), "211 %lld %lld %lld", &count, &low, &high) == 3,
          "GROUP: " + client.StatusLine());
    const std::string range = std::to_string(first != 0 ? first : low) + "-" + std::to_string(high);
    Check(client.Command("OVER " + range) == kReplyOverviewFollows, "OVER: " + client.StatusLine());
    std::string text;
    const size_t lines = client.ReadBlockText(text);
    bytes += text.size();
    return lines;
}

size_t FloorList(NntpFloorClient& client) {
    Check(client.Command("LIST") == kReplyListFollows, "LIST: " + client.StatusLine());
    return client.SkipBlock();
}

// The median time of a DATE command through port, in seconds.
double RoundTrip(uint16_t port) {
    NntpFloorClient client(port);
    std::vector<double> times;
    for (int i = 0; i < kRoundTripSamples; ++i) {
        const Clock::time_point start = Clock::now();
        Check(client.Command("DATE") == 111, "DATE: " + client.StatusLine());
        times.push_back(SecondsSince(start));
    }
    return Median(times);
}

// The NEWNEWS argument the session sends for the index stamp of group.
std::string IndexStamp(Session& session, const std::string& group) {
    TListBlock index(TArticleHeader::kSize);
    Check(session.manager->Cache().Fetch(group, index), "no cached index of " + group);
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

// Times one run of the session's work and of the floor's (each returning how many items it
// read), alternating which goes first, and checks that both read as many. The session is reader
// when given, else a new one; either is connected before its clock starts, as is the floor.
void Measure(int repeat, Row& row, Session* reader,
             const std::function<size_t(Session&)>& sessionWork,
             const std::function<size_t(NntpFloorClient&)>& floorWork) {
    size_t sessionCount = 0, floorCount = 0;
    const auto session = [&] {
        const TConnectOptions saved = Options.Connect;
        Options.Connect.PipelineDepth = row.depth;
        if (row.setUp) row.setUp();
        std::optional<Session> fresh;
        if (reader == nullptr) fresh.emplace(row.link->port);
        const Clock::time_point start = Clock::now();
        sessionCount = sessionWork(reader != nullptr ? *reader : *fresh);
        const double seconds = SecondsSince(start);
        fresh.reset();
        Options.Connect = saved;
        return seconds;
    };
    const auto floor = [&] {
        NntpFloorClient client(row.link->port);
        const Clock::time_point start = Clock::now();
        floorCount = floorWork(client);
        return SecondsSince(start);
    };
    if (repeat % 2 == 0) {
        row.session.push_back(session());
        row.floor.push_back(floor());
    } else {
        row.floor.push_back(floor());
        row.session.push_back(session());
    }
    Check(sessionCount == floorCount, row.what + " through " + row.link->name + " at depth " +
                                          std::to_string(row.depth) + ": the session read " +
                                          std::to_string(sessionCount) + ", the floor " +
                                          std::to_string(floorCount));
    row.items = floorCount;
}

// A first entry of the group by the walk, or by the overview against the floor of one OVER.
void MeasureEntry(int repeat, Row& row, bool overview, size_t& overviewBytes) {
    Measure(
        repeat, row, nullptr,
        [&](Session& session) {
            Options.Connect.UseOverview = overview;
            const size_t before = session.wireBytes;
            session.Enter(row.group);
            const auto listed = static_cast<size_t>(session.List());
            row.wireBytes = session.wireBytes - before;
            return listed;
        },
        [&](NntpFloorClient& client) {
            if (!overview) return FloorWalk(client, row.group, row.depth);
            overviewBytes = 0;
            return FloorOverview(client, row.group, 0, overviewBytes);
        });
}

// A session that has entered the group once (not measured), by the walk or by the overview, and
// re-enters it after each batch.
struct Reader {
    Session session;
    bool overview;
    int known;

    Reader(uint16_t port, const std::string& group, int walkDepth, bool overview_)
        : session(port), overview(overview_) {
        Options.Connect.PipelineDepth = walkDepth;
        Options.Connect.UseOverview = overview;
        session.Enter(group);
        known = session.List();
        session.Enter("..");
    }
};

void MeasureReentry(int repeat, Row& row, Reader& reader) {
    const std::string since = IndexStamp(reader.session, row.group);
    const int64_t firstNew = reader.known + 1;  // the group's numbers run from 1 without gaps
    Measure(
        repeat, row, &reader.session,
        [&](Session& session) {
            Options.Connect.UseOverview = reader.overview;
            session.Enter(row.group);
            const int listed = session.List();
            const auto added = static_cast<size_t>(listed - reader.known);
            reader.known = listed;
            return added;
        },
        [&](NntpFloorClient& client) {
            if (!reader.overview) return FloorNewNews(client, row.group, since, row.depth);
            size_t bytes = 0;
            return FloorOverview(client, row.group, firstNew, bytes);
        });
    reader.session.Enter("..");
    Check(row.items == kNewArticles, row.what + ": the floor read " + std::to_string(row.items) +
                                         " of " + std::to_string(kNewArticles) + " new articles");
}

void MeasureList(int repeat, Row& row) {
    Measure(
        repeat, row, nullptr,
        [](Session& session) { return static_cast<size_t>(session.ListAllGroups()); },
        [](NntpFloorClient& client) { return FloorList(client); });
}

// The peak growth of the resident memory, in bytes, while a new session enters group by the
// overview at port and lists it; listed gets the number of articles.
double EntryPeakGrowth(uint16_t port, const std::string& group, int& listed) {
    const TConnectOptions saved = Options.Connect;
    Options.Connect.UseOverview = 1;
    Session session(port);
    const double growth = PeakGrowth([&] {
        session.Enter(group);
        listed = session.List();
        session.manager->Cache().WaitForSave();
    });
    Options.Connect = saved;
    return growth;
}

void PrintRow(const Row& row) {
    const std::string what = row.what + " (" + std::to_string(row.items) + ")";
    std::printf("%-30s %6s %5d %10.1f %10.1f %6.2f %9.3f   ", what.c_str(), row.link->name,
                row.depth, row.SessionTime() * 1e3, row.FloorTime() * 1e3,
                row.SessionTime() / row.FloorTime(),
                row.SessionTime() * 1e3 / static_cast<double>(row.items));
    for (size_t i = 0; i < row.session.size(); ++i) {
        std::printf(" %.0f/%.0f", row.session[i] * 1e3, row.floor[i] * 1e3);
    }
    std::printf("\n");
}

void PrintAim(const std::string& what, double figure, const char* relation, double aim) {
    const bool met = relation[0] == '<' ? figure <= aim : figure >= aim;
    std::printf("%-70s %7.2f   %s %5.2f   %s\n", what.c_str(), figure, relation, aim,
                met ? "met" : "MISSED");
}

void Run(const Settings& settings) {
    const PortProcess proxy({ProgramFolder() + "/latency_proxy", "--to",
                             "127.0.0.1:" + std::to_string(ReaderPort()), "--delay-ms",
                             kProxyDelayMs, "--idle-seconds", "3600"});
    const Link direct{"0 ms", ReaderPort()}, far{"20 ms", proxy.Port()};
    // The link of a 20 ms round trip and 20 Mbit/s, for the large group only.
    std::optional<PortProcess> narrowProxy;
    if (!settings.largeGroup.empty()) {
        narrowProxy.emplace(std::vector<std::string>{
            ProgramFolder() + "/latency_proxy", "--to", "127.0.0.1:" + std::to_string(ReaderPort()),
            "--delay-ms", kProxyDelayMs, "--idle-seconds", "3600", "--rate",
            std::to_string(static_cast<long>(kNarrowRate))});
    }
    const Link narrow{"20/20M", narrowProxy ? narrowProxy->Port() : uint16_t{0}};
    const int depth = settings.depth;
    const std::string walk = "first entry: walk", again = "re-entry: new", list = "LIST";
    const std::string byOverview = "first entry: overview", againByOverview = "re-entry: overview";

    // The floors read uncompressed, and so do the sessions beside them; only the rows of the
    // 20 Mbit/s link compare compression.
    Options.Connect.Compression = 0;
    // The rows the aims below refer to by index.
    std::vector<Row> walks = {{walk, &direct, depth, settings.group},
                              {walk, &direct, 1, settings.group},
                              {walk, &far, depth, settings.group},
                              {walk, &far, depth, settings.shortGroup},
                              {walk, &far, 1, settings.shortGroup}};
    std::vector<Row> reentries, lists, overviews;
    for (const Link* link : {&direct, &far}) {
        for (const int rowDepth : {depth, 1}) {
            reentries.push_back({again, link, rowDepth, settings.group});
            lists.push_back({list, link, rowDepth, ""});
        }
        overviews.push_back({byOverview, link, depth, settings.group});
    }
    // The large group by the overview (0 ms, then 20 ms); a comparison on it adds rows with a
    // setUp of their own.
    std::vector<Row> larges;
    if (!settings.largeGroup.empty()) {
        for (const Link* link : {&direct, &far}) {
            larges.push_back({"large entry: overview", link, depth, settings.largeGroup});
        }
        for (const int compression : {1, 0}) {
            Row row(compression ? "large: compressed" : "large: uncompressed", &narrow, depth,
                    settings.largeGroup);
            row.setUp = [compression] { Options.Connect.Compression = compression; };
            larges.push_back(std::move(row));
        }
    }
    // After the walk's re-entries: the re-entries by overview (0 ms, then 20 ms).
    const size_t walkReentries = reentries.size();
    for (const Link* link : {&direct, &far}) {
        reentries.push_back({againByOverview, link, depth, settings.group});
    }

    // The memory first, before the other rows have grown the heap.
    int largeListed = 0;
    const double largeGrowth =
        larges.empty() ? 0 : EntryPeakGrowth(direct.port, settings.largeGroup, largeListed);
    size_t overviewBytes = 0;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        for (Row& row : walks) MeasureEntry(repeat, row, false, overviewBytes);
        for (Row& row : overviews) MeasureEntry(repeat, row, true, overviewBytes);
    }
    size_t largeOverviewBytes = 0;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        for (Row& row : larges) MeasureEntry(repeat, row, true, largeOverviewBytes);
    }
    std::vector<std::unique_ptr<Reader>> readers;
    for (size_t i = 0; i < reentries.size(); ++i) {
        readers.push_back(std::make_unique<Reader>(reentries[i].link->port, settings.group, depth,
                                                   i >= walkReentries));
    }
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        PostArticles(settings.group, kNewArticles);
        for (size_t i = 0; i < reentries.size(); ++i) {
            MeasureReentry(repeat, reentries[i], *readers[i]);
        }
    }
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        for (Row& row : lists) MeasureList(repeat, row);
    }
    const double roundTrip = RoundTrip(far.port);
    const double narrowTrip = larges.empty() ? 0 : RoundTrip(narrow.port);

    std::printf(
        "news browsing against 127.0.0.1:%u, median of %d runs; 20 ms: through the latency "
        "proxy, measured round trip %.2f ms (DATE)\n",
        ReaderPort(), kRepeats, roundTrip * 1e3);
    std::printf("%-30s %6s %5s %10s %10s %6s %9s    %s\n", "case (items)", "trip", "depth",
                "session ms", "floor ms", "ratio", "ms/item", "runs session/floor ms");
    for (const std::vector<Row>* rows : {&walks, &overviews, &larges, &reentries, &lists}) {
        for (const Row& row : *rows) PrintRow(row);
    }
    std::printf(
        "(depth: the session's pipeline depth and the floor's window, in commands; "
        "20/20M: a 20 ms round trip and 20 Mbit/s each way)\n\n");

    const std::string d = std::to_string(depth);
    PrintAim("0 ms: first entry, depth " + d + " / lockstep floor",
             walks[0].SessionTime() / walks[1].FloorTime(), "<=", 0.7);
    PrintAim("0 ms: re-entry, depth " + d + " / lockstep floor",
             reentries[0].SessionTime() / reentries[1].FloorTime(), "<=", 1.2);
    PrintAim("0 ms: LIST, depth " + d + " / floor", lists[0].SessionTime() / lists[0].FloorTime(),
             "<=", 1.2);
    PrintAim("20 ms: first entry (" + std::to_string(walks[3].items) + "), depth 1 / depth " + d,
             walks[4].SessionTime() / walks[3].SessionTime(), ">=", 20);
    PrintAim("20 ms: first entry per article, depth 1 (" + std::to_string(walks[4].items) +
                 ") / depth " + d + " (" + std::to_string(walks[2].items) + ")",
             (walks[4].SessionTime() / static_cast<double>(walks[4].items)) /
                 (walks[2].SessionTime() / static_cast<double>(walks[2].items)),
             ">=", 20);
    PrintAim("20 ms: first entry (" + std::to_string(walks[2].items) + "), depth " + d +
                 " / floor window " + d,
             walks[2].SessionTime() / walks[2].FloorTime(), "<=", 1.5);
    PrintAim("20 ms: re-entry, depth " + d + " - floor window " + d + ", in round trips",
             (reentries[2].SessionTime() - reentries[2].FloorTime()) / roundTrip, "<=", 3);

    // The floor of the overview is GROUP and one OVER: two round trips and the transfer.
    const Row& nearOverview = overviews[0];
    const Row& farOverview = overviews[1];
    const double transfer = farOverview.FloorTime() - 2 * roundTrip;
    PrintAim("0 ms: first entry by overview / pipelined walk floor, depth " + d,
             nearOverview.SessionTime() / walks[0].FloorTime(), "<=", 0.15);
    PrintAim("20 ms: first entry by overview - transfer (floor - 2 trips), in round trips",
             (farOverview.SessionTime() - transfer) / roundTrip, "<=", 5);
    PrintAim("20 ms: re-entry by overview (" + std::to_string(reentries.back().items) +
                 " new), in round trips",
             reentries.back().SessionTime() / roundTrip, "<=", 3);
    std::printf("\nthe overview of %zu articles: %.2f MB of text; the index records: %.2f MB\n",
                nearOverview.items, static_cast<double>(overviewBytes) / 1e6,
                static_cast<double>(nearOverview.items * TArticleHeader::kSize) / 1e6);
    if (!larges.empty()) {
        std::printf(
            "entering the large group by the overview (%d articles, 0 ms): peak resident growth "
            "%.1f MB, %.2fx the overview's %.2f MB of text; the index records: %.2f MB\n",
            largeListed, largeGrowth / 1e6, largeGrowth / static_cast<double>(largeOverviewBytes),
            largeOverviewBytes / 1e6,
            static_cast<double>(largeListed) * TArticleHeader::kSize / 1e6);
        // The link's limit for the compressed entry: a round trip and its bytes at the rate.
        const Row& compressed = larges[2];
        const Row& plain = larges[3];
        const double limit = narrowTrip + static_cast<double>(compressed.wireBytes) / kNarrowRate;
        std::printf(
            "the large group over 20/20M (round trip %.2f ms): %.2f MB came compressed, %.2f MB "
            "uncompressed (%.2fx); the link's limit for the compressed entry %.1f ms\n",
            narrowTrip * 1e3, compressed.wireBytes / 1e6, plain.wireBytes / 1e6,
            static_cast<double>(plain.wireBytes) / static_cast<double>(compressed.wireBytes),
            limit * 1e3);
        PrintAim("20/20M: large entry, compressed / uncompressed",
                 compressed.SessionTime() / plain.SessionTime(), "<=", 0.5);
        PrintAim("20/20M: large entry compressed / the link's limit",
                 compressed.SessionTime() / limit, "<=", 1.5);
    }
}

}  // namespace
}  // namespace kestrova::bench

int main(int argc, char** argv) {
    using namespace kestrova;
    bench::Settings settings;
    std::vector<std::string> groups;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--pipeline-depth" && i + 1 < argc) {
            settings.depth = std::atoi(argv[++i]);
            if (settings.depth < 1 || settings.depth > kMaxPipelineDepth) {
                std::fprintf(stderr, "news_bench: --pipeline-depth takes 1..%d\n",
                             kMaxPipelineDepth);
                return 2;
            }
        } else if (arg.starts_with("-") || groups.size() == 3) {
            std::fprintf(stderr,
                         "usage: news_bench [--pipeline-depth N] [GROUP [SHORT_GROUP "
                         "[LARGE_GROUP]]]\n");
            return 2;
        } else {
            groups.push_back(arg);
        }
    }
    if (!groups.empty()) settings.group = groups[0];
    if (groups.size() >= 2) settings.shortGroup = groups[1];
    if (groups.size() == 3) settings.largeGroup = groups[2];
    if (!testing::PeerListening(bench::ReaderPort())) {
        std::printf(
            "skipped: no news server listens on 127.0.0.1:%u.\n"
            "Prepare and run everything with: sudo bash bench/run_news_bench.sh\n"
            "(or start the server: bash tools/peers/inn2.sh start; port from INN_READER_PORT)\n",
            bench::ReaderPort());
        return 0;
    }
    bench::InstallBenchHost();
    return bench::RunReportingFailure("news_bench", [&] { bench::Run(settings); });
}
