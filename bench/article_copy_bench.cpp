// Copying articles out against the loopback news server of tools/peers/inn2.sh (prepared by
// bench/run_news_bench.sh): the panel's copy (GetFiles without questions) of 1,000 articles of a
// group into files of an empty folder, beside its floor measured in the same run: a minimal
// blocking client that sends the same ARTICLE commands and writes each reply's lines, as they
// came, into a file of its own. Both are connected and inside the group before their clocks
// start.
//
//   article_copy_bench GROUP
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_session.h"
#include "bench/nntp_floor_client.h"
#include "conformance/peer_availability.h"
#include "news/reply_codes.h"
#include "news/temp_home.h"
#include "platform/temp_folder.h"
#include "plugin/nntp_plugin.h"

namespace kestrova::bench {
namespace {

constexpr int kRepeats = 5;
constexpr int kArticles = 1000;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

uint16_t ReaderPort() {
    return testing::PeerPort("INN_READER_PORT", 1119);
}

void Check(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(what);
}

// The first article number of group, from the floor client's GROUP reply.
long FirstArticle(NntpFloorClient& client, const std::string& group) {
    Check(client.Command("GROUP " + group) == kReplyGroupSelected, "GROUP: " + client.StatusLine());
    long code = 0, count = 0, low = 0;
    std::istringstream(client.StatusLine()) >> code >> count >> low;
    Check(count >= kArticles, "the group holds fewer than " + std::to_string(kArticles));
    return low;
}

// Panel items of the articles from number first on, as a listing gives them.
std::vector<PluginPanelItem> ArticleItems(long first) {
    std::vector<PluginPanelItem> items(kArticles);
    for (int i = 0; i < kArticles; ++i) {
        std::snprintf(items[i].FindData.cFileName, sizeof items[i].FindData.cFileName,
                      "Bench article %ld", first + i);
        items[i].UserData = first + i;
        items[i].Flags = PPIF_SELECTED;
    }
    return items;
}

size_t FilesIn(const std::string& folder) {
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files += entry.is_regular_file() ? 1 : 0;
    return files;
}

double PanelCopy(const std::string& group, long first) {
    TempHomeForTest home;
    TempFolderForTest target;
    TNntpPlugin panel;
    panel.OpenCommandLine("//127.0.0.1:" + std::to_string(ReaderPort()) + "/");
    Check(panel.SetDirectory(group, OPM_SILENT) == 1, "the panel cannot enter " + group);
    std::vector<PluginPanelItem> items = ArticleItems(first);
    const Clock::time_point start = Clock::now();
    const int done = panel.GetFiles(items.data(), kArticles, 0, target.Path(), OPM_SILENT);
    const double seconds = SecondsSince(start);
    Check(done == 1 && FilesIn(target.Path()) == kArticles, "the panel's copy failed");
    return seconds;
}

double FloorCopy(const std::string& group, long first) {
    TempFolderForTest target;
    NntpFloorClient client(ReaderPort());
    Check(FirstArticle(client, group) == first, "the group changed");
    std::string text;
    const Clock::time_point start = Clock::now();
    for (long number = first; number < first + kArticles; ++number) {
        Check(client.Command("ARTICLE " + std::to_string(number)) == kReplyArticleFollows,
              "ARTICLE: " + client.StatusLine());
        client.ReadBlockText(text);
        const std::string name = target.Path() + "/" + std::to_string(number);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        Check(fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()),
              "cannot write " + name);
        ::close(fd);
    }
    return SecondsSince(start);
}

void Run(const std::string& group) {
    long first = 0;
    {
        NntpFloorClient client(ReaderPort());
        first = FirstArticle(client, group);
    }
    std::vector<double> panel, floor;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        // Alternating which goes first spreads the server's warm-up over both.
        if (repeat % 2 == 0) {
            panel.push_back(PanelCopy(group, first));
            floor.push_back(FloorCopy(group, first));
        } else {
            floor.push_back(FloorCopy(group, first));
            panel.push_back(PanelCopy(group, first));
        }
    }
    std::printf("copying articles out against 127.0.0.1:%u, median of %d runs (panel/floor)\n",
                ReaderPort(), kRepeats);
    std::printf("%-44s panel %8.1f ms   floor %8.1f ms   ratio %5.2f\n",
                ("copy of " + std::to_string(kArticles) + " articles to files").c_str(),
                Median(panel) * 1e3, Median(floor) * 1e3, Median(panel) / Median(floor));
    std::printf("%-44s runs:", "");
    for (int i = 0; i < kRepeats; ++i) std::printf(" %.1f/%.1f", panel[i] * 1e3, floor[i] * 1e3);
    std::printf(" ms\n");
}

}  // namespace
}  // namespace kestrova::bench

int main(int argc, char** argv) {
    using namespace kestrova;
    if (argc < 2) {
        std::fprintf(stderr, "usage: article_copy_bench GROUP (see bench/run_news_bench.sh)\n");
        return 2;
    }
    if (!testing::PeerListening(bench::ReaderPort())) {
        std::printf(
            "skipped: no news server listens on 127.0.0.1:%u.\n"
            "Prepare and run everything with: sudo bash bench/run_news_bench.sh\n",
            bench::ReaderPort());
        return 0;
    }
    bench::InstallBenchHost();
    return bench::RunReportingFailure("article_copy_bench", [&] { bench::Run(argv[1]); });
}
