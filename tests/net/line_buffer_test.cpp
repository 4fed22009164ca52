#include "net/line_buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "net/line_feeder.h"

namespace kestrova {
namespace {

using namespace std::string_literals;

// Reads lines as ReadLine does, with the stream arriving in the given pieces. A last line
// without an end is marked with a leading '|'.
std::vector<std::string> ReadLines(const std::vector<std::string>& pieces,
                                   TLineBuffer::LineEnds ends = TLineBuffer::LineEnds::Any) {
    testing::TFedLines fed = testing::FeedInPieces(
        std::vector<std::string_view>(pieces.begin(), pieces.end()), 16, ends);
    if (!fed.rest.empty()) fed.lines.push_back("|" + fed.rest);
    return fed.lines;
}

struct LineCase {
    std::string input;
    std::vector<std::string> lines;
    TLineBuffer::LineEnds ends = TLineBuffer::LineEnds::Any;
};

constexpr TLineBuffer::LineEnds kLfOnly = TLineBuffer::LineEnds::LfOnly;
const LineCase kCases[] = {
    {"A\r\nB\n", {"A", "B"}},
    {"A\r\r", {"A", ""}},
    {"A\n\rB\n", {"A", "B"}},
    {"A\0B\n"s, {"A B"}},
    {"\0\0\r\n"s, {"  "}},
    {"\n\n", {"", ""}},
    {"A\n\n\r", {"A", ""}},
    {"\r\n\n\r\r\n", {"", "", ""}},
    {"A\r\n\r\nB", {"A", "", "|B"}},
    {"\xff\x80\x0e\r\n", {"\xff\x80\x0e"}},
    {"a line longer than the sixteen-byte buffer\r\nnext\r\n",
     {"a line longer than the sixteen-byte buffer", "next"}},
    // Lines kept byte for byte: only LF ends one (with the CR before it); a NUL and a lone CR
    // stay.
    {"A\0B\rC\r\n"s, {"A\0B\rC"s}, kLfOnly},
    {"A\r\r\nB\n", {"A\r", "B"}, kLfOnly},
    {"\r\n\n\rX", {"", "", "|\rX"}, kLfOnly},
};

// Whole, cut in two at every place, and byte by byte.
TEST(LineBuffer, LineEndRulesWhereverTheStreamIsSplit) {
    for (const LineCase& c : kCases) {
        const std::string shown = ::testing::PrintToString(c.input);
        for (size_t cut = 0; cut < c.input.size(); ++cut) {
            EXPECT_EQ(ReadLines({c.input.substr(0, cut), c.input.substr(cut)}, c.ends), c.lines)
                << shown << " cut at " << cut;
        }
        std::vector<std::string> bytes;
        for (char ch : c.input) bytes.emplace_back(1, ch);
        EXPECT_EQ(ReadLines(bytes, c.ends), c.lines) << shown << " byte by byte";
    }
}

TEST(LineBuffer, RawReadsKeepTheBytesAfterALineAndSkipASplitLineEndsPartner) {
    TLineBuffer buffer;
    std::memcpy(buffer.Space(), "A\r", 2);
    buffer.Commit(2);
    std::string line;
    ASSERT_TRUE(buffer.TakeLinePart(line).ended);
    std::memcpy(buffer.Space(), "\nXYZ", 4);
    buffer.Commit(4);
    char out[8] = {};
    EXPECT_EQ(buffer.Take(out, 2, /*peek=*/true), 2u);
    EXPECT_EQ(std::string(out, 2), "XY");
    EXPECT_EQ(buffer.Take(out, 8, false), 3u);
    EXPECT_EQ(std::string(out, 3), "XYZ");
    EXPECT_TRUE(buffer.Empty());
}

}  // namespace
}  // namespace kestrova
