// The capability list and the overview lines read into what the reader acts on.
#include "news/capabilities.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "news/overview.h"

namespace kestrova::testing {
namespace {

TEST(Capabilities, LinesSetWhatTheyName) {
    TCapabilities got;
    for (const char* line : {"VERSION 2", "mode-reader", "LIST ACTIVE NEWSGROUPS OVERVIEW.FMT",
                             "COMPRESS  DEFLATE", "OVERVIEW", "READERS", "XSTARTTLS"}) {
        ApplyCapabilityLine(line, got);
    }
    EXPECT_TRUE(got.ModeReader);
    EXPECT_TRUE(got.OverviewFormat);
    EXPECT_TRUE(got.CompressDeflate);
    EXPECT_FALSE(got.Over) << "OVERVIEW is not OVER";
    EXPECT_FALSE(got.Reader) << "READERS is not READER";
    EXPECT_FALSE(got.StartTls);
    ApplyCapabilityLine("OVER MSGID", got);
    ApplyCapabilityLine("READER", got);
    ApplyCapabilityLine("STARTTLS", got);
    EXPECT_TRUE(got.Over && got.Reader && got.StartTls);
    TCapabilities listOnly;
    ApplyCapabilityLine("LIST ACTIVE OVERVIEW.FMTX", listOnly);
    EXPECT_FALSE(listOnly.OverviewFormat);
}

TEST(Capabilities, A401NamesModeReaderAsAWord) {
    const std::tuple<const char*, bool> cases[] = {
        {"401 MODE-READER", true},
        {"401 mode-reader please", true},
        {"401 XMODE-READER", false},
        {"401 MODE-READERS", false},
        {"401", false},
        {"MODE-READER", false},
    };
    for (const auto& [line, names] : cases) EXPECT_EQ(NamesModeReader(line), names) << line;
}

TEST(Overview, FormatGivesTheFieldsTheirPlaces) {
    const TOverviewFormat standard =
        OverviewFormatOf({"Subject:", "From:", "Date:", "Message-ID:", "References:", ":bytes",
                          ":lines", "Xref:full"});
    EXPECT_EQ(std::tie(standard.Subject, standard.From, standard.Date, standard.MessageId,
                       standard.References, standard.Lines),
              std::make_tuple(0, 1, 2, 3, 4, 6));
    const TOverviewFormat moved =
        OverviewFormatOf({"from:", "Subject:", "Xref:full", "Lines:", "references:"});
    EXPECT_EQ(std::tie(moved.Subject, moved.From, moved.Date, moved.MessageId, moved.References,
                       moved.Lines),
              std::make_tuple(1, 0, -1, -1, 4, 3));
}

// The record's fields and the References, "|" between; the date as "dated" or "-".
std::string Text(const TArticleHeader& r, const THeaderExtras& extras) {
    const bool dated = (r.Date.dwLowDateTime | r.Date.dwHighDateTime) != 0;
    return std::to_string(r.Number) + "|" + r.Subject + "|" + r.From + "|" + r.MessageId + "|" +
           std::to_string(r.Lines) + "|" + (dated ? "dated" : "-") + "|" + r.PathHeader + "|" +
           r.Organization + "|" + std::to_string(r.Flags) + "|" + extras.References;
}

TEST(Overview, LineFillsTheRecordOrIsRefused) {
    TArticleHeader record;
    THeaderExtras extras;
    ASSERT_TRUE(
        ApplyOverviewLine("7\tHello\tA <a@b>\tMon, 02 Jan 2023 10:00:00 GMT\t<7@x>\t"
                          "<5@x> <6@x>\t1234\t12\tXref: h g:7",
                          TOverviewFormat{}, record, extras));
    const std::string flags = std::to_string(kFromOverview);
    EXPECT_EQ(Text(record, extras), "7|Hello|A <a@b>|<7@x>|12|dated|||" + flags + "|<5@x> <6@x>");

    // Fewer fields than the format names leave the rest empty.
    ASSERT_TRUE(ApplyOverviewLine("8\tShort", TOverviewFormat{}, record, extras));
    EXPECT_EQ(Text(record, extras), "8|Short|||0|-|||" + flags + "|");
    for (const char* bad : {"", "x\tSubject", "-3\tS", "0\tS", "12a\tS", "99999999999\tS"}) {
        EXPECT_FALSE(ApplyOverviewLine(bad, TOverviewFormat{}, record, extras)) << bad;
    }
}

}  // namespace
}  // namespace kestrova::testing
