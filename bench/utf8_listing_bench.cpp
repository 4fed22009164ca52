// The panel listing of a cached group of 10,000 articles: each header record made into its
// panel item (subject, author, organization decoded). Three runs over records in the same
// process: ASCII subjects, and UTF-8 subjects (encoded words in Base64 and quoted-printable,
// and unlabelled UTF-8) both with the UTF-8 text model and with the single-byte model of
// earlier versions (KESTROVA_OEMCP=866). Prints the time of each and the ratios (the aim: the
// UTF-8 listing at most 1.2 times the single-byte one).
#include <chrono>
#include <cstdio>
#include <cstdlib>
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

// Seconds for one listing of records, the fastest of kRounds.
double ListingSeconds(const std::vector<std::vector<char>>& records) {
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        TPanelItemList items;
        items.Reserve(kArticles);
        TArticleTables tables(kNoSlot);
        for (const std::vector<char>& record : records)
            AddArticleItem(items, record.data(), tables);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

}  // namespace

int main() {
    const auto ascii = MakeRecords(false);
    const auto utf8 = MakeRecords(true);
    setenv("KESTROVA_OEMCP", "866", 1);
    setenv("KESTROVA_ANSICP", "1251", 1);
    const double singleByte = ListingSeconds(utf8);
    unsetenv("KESTROVA_OEMCP");
    unsetenv("KESTROVA_ANSICP");
    const double asciiUtf8Model = ListingSeconds(ascii);
    const double utf8Model = ListingSeconds(utf8);
    std::printf("listing %d cached articles (best of %d):\n", kArticles, kRounds);
    std::printf("  UTF-8 subjects, single-byte model (earlier versions): %8.2f ms\n",
                singleByte * 1e3);
    std::printf("  ASCII subjects, UTF-8 model:                           %8.2f ms\n",
                asciiUtf8Model * 1e3);
    std::printf("  UTF-8 subjects, UTF-8 model:                           %8.2f ms\n",
                utf8Model * 1e3);
    const double ratio = utf8Model / singleByte;
    std::printf("ratio UTF-8 model / single-byte model: %.2f (aim: at most 1.20)\n", ratio);
    std::printf("ratio UTF-8 subjects / ASCII subjects: %.2f\n", utf8Model / asciiUtf8Model);
    return 0;
}
