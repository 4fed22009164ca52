// The thread view's cost: 100,000 cached article records of threads one to thirty articles long
// (some parents expired, some replies without References) are listed as the plain listing lists
// a cached index, then put in thread order with their References as the cache keeps them. Prints
// the best of several rounds of each, in wall-clock and processor time, and in which of the two
// the order stays within its 100 ms (the exit status follows the processor time, which other
// work on a shared machine disturbs less).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "news/article_header.h"
#include "news/list_block.h"
#include "news/panel_item_list.h"
#include "news/thread_links.h"
#include "news/thread_listing.h"
#include "ui/char_tables.h"
#include "ui/panel_items.h"

namespace {

using namespace kestrova;

constexpr int kArticles = 100'000;
constexpr int kRounds = 5;
constexpr double kLimitMs = 100;

struct Group {
    TListBlock Index{TArticleHeader::kSize};
    TThreadLinks Links;
};

// Threads interleaved as a busy group receives them: each new article starts a thread or
// replies to a random earlier article of one of the last few threads.
Group MakeGroup() {
    Group group;
    unsigned seed = 11;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    struct Thread {
        std::string Subject;
        std::vector<std::string> Ids, References;  // of each article in the thread
    };
    std::vector<Thread> open;
    for (int number = 1; number <= kArticles; ++number) {
        TArticleHeader record;
        record.Number = number;
        record.MessageId = "<" + std::to_string(number) + ".thread@bench.example>";
        record.From = "Poster " + std::to_string(next() % 500) + " <p@example.org>";
        record.Lines = static_cast<int32_t>(next() % 80);
        record.CharTable = kNoSlot;
        std::string references;
        Thread* thread = open.empty() ? nullptr : &open[next() % open.size()];
        if (thread == nullptr || next() % 4 == 0 || thread->Ids.size() >= 30) {
            if (open.size() == 8) open.erase(open.begin());
            open.push_back({"Topic number " + std::to_string(number), {}, {}});
            thread = &open.back();
            record.Subject = thread->Subject;
        } else {
            const size_t parent = next() % thread->Ids.size();
            references = thread->References[parent] + " " + thread->Ids[parent];
            record.Subject = "Re: " + thread->Subject;
        }
        thread->Ids.push_back(record.MessageId);
        thread->References.push_back(references);
        if (next() % 20 == 0) continue;            // expired: a missing parent for its replies
        if (next() % 20 == 0) references.clear();  // a reply that lost its References
        char bytes[TArticleHeader::kSize];
        record.Write(bytes);
        group.Index.Append(bytes);
        group.Links.Add(record.MessageId, references);
    }
    return group;
}

// Wall-clock and processor time: the machine may be shared, and the processor time shows what
// the work itself costs.
struct Clock {
    std::chrono::steady_clock::time_point Wall;
    std::clock_t Processor;

    static Clock Now() { return {std::chrono::steady_clock::now(), std::clock()}; }
};

struct Best {
    double Wall = 1e9, Processor = 1e9;

    void Take(const Clock& from, const Clock& to) {
        Wall =
            std::min(Wall, std::chrono::duration<double, std::milli>(to.Wall - from.Wall).count());
        Processor =
            std::min(Processor,
                     1000.0 * static_cast<double>(to.Processor - from.Processor) / CLOCKS_PER_SEC);
    }
};

}  // namespace

int main() {
    const Group group = MakeGroup();
    const int count = static_cast<int>(group.Index.Count());
    Best plain, thread;
    for (int round = 0; round < kRounds; ++round) {
        const Clock start = Clock::Now();
        TPanelItemList list;
        TArticleTables tables(kNoSlot);
        list.Reserve(count);
        for (int i = 0; i < count; ++i) AddArticleItem(list, group.Index.Record(i), tables);
        PluginPanelItem* items = nullptr;
        int listed = 0;
        list.Release(items, listed);
        const Clock listedAt = Clock::Now();
        OrderByThread(items, listed, group.Links);
        const Clock orderedAt = Clock::Now();
        plain.Take(start, listedAt);
        thread.Take(listedAt, orderedAt);
        FreePanelItems(items, listed);
    }
    std::printf("articles listed from the cache: %d (best of %d rounds)\n", count, kRounds);
    std::printf("                                  wall clock   processor\n");
    std::printf("plain listing (by number):        %7.1f ms  %7.1f ms\n", plain.Wall,
                plain.Processor);
    std::printf("thread order of the same listing: %7.1f ms  %7.1f ms\n", thread.Wall,
                thread.Processor);
    std::printf("thread order / plain listing:     %7.2f     %7.2f\n", thread.Wall / plain.Wall,
                thread.Processor / plain.Processor);
    const bool wallWithin = thread.Wall <= kLimitMs;
    const bool processorWithin = thread.Processor <= kLimitMs;
    std::printf("thread order within %.0f ms: wall clock %s, processor %s\n", kLimitMs,
                wallWithin ? "yes" : "NO", processorWithin ? "yes" : "NO");
    return processorWithin ? 0 : 1;
}
