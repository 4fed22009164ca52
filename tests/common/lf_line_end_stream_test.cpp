#include "common/lf_line_end_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrova {
namespace {

using namespace std::string_literals;

struct Case {
    const char* Name;
    std::vector<std::string> Writes;
    std::string Expected;
};

TEST(LfLineEndStream, WritesCrLfAsLfAndKeepsEverythingElse) {
    const Case cases[] = {
        {"line ends", {"a\r\nb\r\n"}, "a\nb\n"},
        {"bare CR kept", {"a\rb\r\r\n"}, "a\rb\r\n"},
        {"CR LF split across writes", {"a\r", "\nb\r", "\n"}, "a\nb\n"},
        {"CR ending a write, no LF next", {"a\r", "b"}, "a\rb"},
        {"CR ending the last write", {"a\r"}, "a\r"},
        {"NUL kept", {"a\0b\r\n"s}, "a\0b\n"s},
    };
    for (const Case& c : cases) {
        TMemoryStream target;
        TLfLineEndStream stream(target);
        for (const std::string& block : c.Writes) stream.WriteText(block);
        stream.Finish();
        EXPECT_EQ(std::string(target.Memory(), static_cast<size_t>(target.Size())), c.Expected)
            << c.Name;
    }
}

// A fetch that is retried truncates the stream: a CR left waiting from the failed attempt is not
// written.
TEST(LfLineEndStream, TruncationDropsAWaitingCr) {
    TMemoryStream target;
    TLfLineEndStream stream(target);
    stream.WriteText("a\r");
    stream.SetSize(0);
    stream.SetPosition(0);
    stream.WriteText("b\r\n");
    stream.Finish();
    EXPECT_EQ(std::string(target.Memory(), static_cast<size_t>(target.Size())), "b\n");
}

}  // namespace
}  // namespace kestrova
