// The panel listing of a cached group of 10,000 articles: each header record made into its
// panel item (subject, author, organization decoded), in the build's own text model. Subjects
// and authors in UTF-8 (encoded words in Base64 and quoted-printable, and unlabelled UTF-8), and
// for comparison plain ASCII ones. Prints the best time of each in milliseconds of the thread's
// CPU time (on a loaded machine a listing of tens of milliseconds is rarely left to run
// undisturbed, so wall time would measure the other processes); bench/compare_listing.sh builds
// it also from an earlier revision and compares the two.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "news/article_header.h"

namespace {

using namespace kestrova;

constexpr int kArticles = 10'000;
constexpr int kRounds = 20;

std::vector<std::vector<char>> MakeRecords(bool utf8) {
    static const char* const kUtf8Subjects[] = {
        "=?UTF-8?B?R3LDvMOfZSBhdXMgS8O2bG4=?=",
        "Re: =?UTF-8?Q?=D0=9F=D1=80=D0=B8=D0=B2=D0=B5=D1=82=2C_=D0=BC=D0=B8=D1=80?=",
        "Καλημέρα κόσμε, τι κάνεις;",
        "=?UTF-8?B?5Lit5paH5rWL6K+VIOS9oOWlve+8jOS4lueVjA==?=",
        "Unlabelled Grüße Привет 😀",
    };
    std::vector<std::vector<char>> records;
    for (int n = 0; n < kArticles; ++n) {
        TArticleHeader header;
        header.Number = n + 1;
        header.MessageId = "<bench." + std::to_string(n) + "@example.test>";
        header.Subject = utf8 ? std::string(kUtf8Subjects[n % 5]) + " " + std::to_string(n)
                              : "Plain ASCII subject of a thread " + std::to_string(n);
        header.From =
            utf8 ? "=?UTF-8?Q?J=C3=BCrgen?= <j@example.test>" : "Juergen <j@example.test>";
        header.Organization = "Example";
        header.Lines = 10;
        header.CharTable = kNoSlot;
        std::vector<char> record(TArticleHeader::kSize);
        header.Write(record.data());
        records.push_back(std::move(record));
    }
    return records;
}

double CpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// CPU milliseconds for one listing of records, the fastest of kRounds.
double ListingMilliseconds(const std::vector<std::vector<char>>& records) {
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        const double start = CpuMilliseconds();
        TPanelItemList items;
        items.Reserve(kArticles);
        TArticleTables tables(kNoSlot);
        for (const std::vector<char>& record : records)
            AddArticleItem(items, record.data(), tables);
        best = std::min(best, CpuMilliseconds() - start);
    }
    return best;
}

}  // namespace

int main() {
    const double utf8 = ListingMilliseconds(MakeRecords(true));
    const double ascii = ListingMilliseconds(MakeRecords(false));
    std::printf("utf8 %.3f ascii %.3f\n", utf8, ascii);
    return 0;
}
