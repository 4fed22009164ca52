// Peak memory of the news session listing 100,000 groups (or as many as asked, of names as long
// as asked): the fixture news server (on a spool
// of that many groups, in a temporary folder) answers LIST, and the process's peak resident
// size (VmHWM of /proc/self/status, reset through /proc/self/clear_refs just before) is read
// after the listing and compared with the resident size before it and with the size of the
// list's text as the server sends it (read afterwards with the floor client, so that its buffer
// is not reused by the listing). The module's own share, the growth less the panel's records (whose
// size the host's interface fixes), is compared with the same aim.
//
//   group_list_memory_bench endless             a LIST that never ends, until it is cut
//   group_list_memory_bench [GROUPS [LENGTH]]   GROUPS: how many (default 100000); LENGTH: each
//                                               name's length, 20 to 128 (default 20 to 40)
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "bench/bench_session.h"
#include "bench/nntp_floor_client.h"
#include "bench/resident_memory.h"
#include "common/errors.h"
#include "hostapi/plugin_api.h"
#include "news/reply_codes.h"
#include "platform/port_process.h"
#include "platform/temp_folder.h"

namespace kestrova::bench {
namespace {

using testing::PortProcess;

constexpr double kAim = 3;

// The spool's groups file: names of a few hierarchies, 20 to 40 characters long, or all of
// length characters when it is not 0.
void WriteGroups(const std::string& path, int count, size_t length) {
    static const char* const kTops[] = {"alt", "comp", "rec", "sci", "misc", "news", "soc"};
    std::ofstream out(path);
    for (int i = 0; i < count; ++i) {
        std::string name = std::string(kTops[i % 7]) + ".bench.topic" + std::to_string(i % 997) +
                           ".group." + std::to_string(i);
        name.resize(length != 0 ? length : name.size() + static_cast<size_t>(i % 11), 'x');
        out << name << " y 2024-01-10T09:05:00Z\n";
    }
    if (!out) throw std::runtime_error("cannot write " + path);
}

void Run(int groups, size_t length) {
    TempFolderForTest spool;
    WriteGroups(spool.Path() + "/groups", groups, length);
    const PortProcess server({"python3",
                              std::string(KESTROVA_SOURCE_DIR) + "/tools/fixture_news_server.py",
                              "--spool", spool.Path(), "--volatile"});
    long before = 0, peak = 0;
    int listed = 0;
    {
        Session session(server.Port());
        ResetPeak();
        before = StatusKilobytes("VmRSS");
        listed = session.ListAllGroups();
        peak = StatusKilobytes("VmHWM");
    }
    NntpFloorClient floor(server.Port());
    if (floor.Command("LIST") != kReplyListFollows)
        throw std::runtime_error("LIST: " + floor.StatusLine());
    std::string text;
    const size_t lines = floor.ReadBlockText(text);
    if (listed != groups || lines != static_cast<size_t>(groups)) {
        throw std::runtime_error("listed " + std::to_string(listed) + " groups, the server sent " +
                                 std::to_string(lines) + " of " + std::to_string(groups));
    }
    const double growth = static_cast<double>(peak - before) * 1024;
    const double ratio = growth / static_cast<double>(text.size());
    std::printf(
        "LIST of %d groups (%.1f MB of text): peak resident growth %.1f MB (resident %.1f MB "
        "before, peak %.1f MB), %.2fx the text   aim <= %.0fx   %s\n",
        groups, static_cast<double>(text.size()) / 1e6, growth / 1e6,
        static_cast<double>(before) * 1024 / 1e6, static_cast<double>(peak) * 1024 / 1e6, ratio,
        kAim, ratio <= kAim ? "met" : "MISSED");
    // The panel's records have the size the host's interface fixes, whatever their names'
    // length: the module's own share is what the peak holds besides them.
    const double items = static_cast<double>(groups) * sizeof(PluginPanelItem);
    const double own = (growth - items) / static_cast<double>(text.size());
    std::printf(
        "  the panel records the host's interface fixes: %d x %zu bytes = %.1f MB, %.2fx the text\n"
        "  the module's own share (growth less those records): %.1f MB, %.2fx the text   "
        "aim <= %.0fx   %s\n",
        groups, sizeof(PluginPanelItem), items / 1e6, items / static_cast<double>(text.size()),
        (growth - items) / 1e6, own, kAim, own <= kAim ? "met" : "MISSED");
}

// A server that answers LIST with new 113-byte names for ever: the peak until the session
// cuts the list, against the fixed bound its group limit sets.
constexpr const char* kEndlessServer = R"(
import socket, sys
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(1)
print("PORT", s.getsockname()[1], flush=True)
c, _ = s.accept(); f = c.makefile("rb"); c.sendall(b"200 endless\r\n")
for line in f:
    if not line.upper().startswith(b"LIST"):
        c.sendall(b"500 what?\r\n"); continue
    c.sendall(b"215 groups\r\n"); i = 0
    try:
        while True:
            c.sendall(b"".join(b"%s y 0 1\r\n" % (b"alt.endless.%d" % n).ljust(113, b"x")
                               for n in range(i, i + 1000))); i += 1000
    except OSError:
        sys.exit(0)
)";

void RunEndless() {
    const PortProcess server({"python3", "-c", kEndlessServer});
    Session session(server.Port());
    ResetPeak();
    const long before = StatusKilobytes("VmRSS");
    const char* cut = "never cut";
    try {
        session.ListAllGroups();
    } catch (const EInternetError&) {
        cut = "cut by the group limit";
    }
    const double growth = static_cast<double>(StatusKilobytes("VmHWM") - before) * 1024;
    std::printf("endless LIST (%s): peak resident growth %.1f MB\n", cut, growth / 1e6);
}

}  // namespace
}  // namespace kestrova::bench

int main(int argc, char** argv) {
    using namespace kestrova;
    if (argc > 1 && std::string(argv[1]) == "endless") {
        bench::InstallBenchHost();
        return bench::RunReportingFailure("group_list_memory_bench", bench::RunEndless);
    }
    const int groups = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int length = argc > 2 ? std::atoi(argv[2]) : 0;
    if (groups < 1 || (argc > 2 && (length < 20 || length > 128))) {
        std::fprintf(stderr,
                     "group_list_memory_bench: GROUPS takes a number from 1, LENGTH one "
                     "from 20 to 128\n");
        return 2;
    }
    bench::InstallBenchHost();
    return bench::RunReportingFailure("group_list_memory_bench",
                                      [&] { bench::Run(groups, static_cast<size_t>(length)); });
}
