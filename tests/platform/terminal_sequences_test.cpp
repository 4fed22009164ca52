// The clipboard, the console title and the bell as the terminal receives them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/clipboard.h"
#include "platform/console_title.h"
#include "platform/scoped_environment.h"
#include "platform/terminal_output.h"

namespace kestrova::platform {
namespace {

constexpr char kPrivet[] = "Привет";

// A pipe stands in for the host's terminal, so what the platform writes can be read back.
class TerminalSequencesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        environment_.Set("KESTROVA_OEMCP", nullptr);
        ASSERT_EQ(pipe2(fds_, O_NONBLOCK), 0);
        SetTerminalOutput(fds_[1]);
    }
    void TearDown() override {
        SetTerminalOutput(-1);
        close(fds_[0]);
        close(fds_[1]);
    }
    // Everything written since the last call.
    std::string Taken() {
        std::string out;
        char buffer[4096];
        for (ssize_t got; (got = read(fds_[0], buffer, sizeof buffer)) > 0;)
            out.append(buffer, got);
        return out;
    }
    ScopedEnvironment environment_;
    int fds_[2] = {-1, -1};
};

// Without a terminal, or when writing to it fails, the process still keeps the texts.
TEST_F(TerminalSequencesTest, WithoutAWorkingTerminalOnlyTheProcessKeepsTheTexts) {
    SetTerminalOutput(-1);
    EXPECT_TRUE(SetClipboardText(kPrivet));
    EXPECT_EQ(ClipboardText(), kPrivet);
    SetConsoleTitle("title");
    EXPECT_EQ(ConsoleTitle(), "title");
    Beep();  // nowhere to go, and no failure
    const int readOnly = open("/dev/null", O_RDONLY);
    SetTerminalOutput(readOnly);
    EXPECT_FALSE(SetClipboardText("kept"));
    SetTerminalOutput(-1);
    close(readOnly);
    EXPECT_EQ(ClipboardText(), "kept");
}

TEST_F(TerminalSequencesTest, ClipboardTextGoesToTheTerminalAsBase64Utf8AndBeepRingsTheBell) {
    const struct {
        std::string oem;
        const char* base64;
    } cases[] = {
        {"", ""},
        {kPrivet, "0J/RgNC40LLQtdGC"},
        {"║ x\r\n", "4pWRIHgNCg=="},  // a double line, a blank and a line break
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(SetClipboardText(c.oem));
        EXPECT_EQ(Taken(), std::string("\x1b]52;c;") + c.base64 + "\x07") << c.oem;
        EXPECT_EQ(ClipboardText(), c.oem);
    }
    Beep();
    EXPECT_EQ(Taken(), "\x07");
}

// Controls are those of the chosen OEM page: 0x80-0x9F are C1 controls in 28595.
TEST_F(TerminalSequencesTest, TitleIsUtf8AndCannotCarryControlCharacters) {
    const struct {
        const char* page;
        std::string oem;
        std::string sent;
    } cases[] = {
        {nullptr, "50% news", "50% news"},
        {nullptr, kPrivet, kPrivet},
        {nullptr,
         "a\u009B"
         "1m中",
         "a?1m中"},  // C1 CSI in UTF-8
        {"866", "\x8F\xE0\xA8\xA2\xA5\xE2", kPrivet},
        {nullptr, "a\x1b]52;c;eA==\x07z", "a?]52;c;eA==?z"},
        {nullptr, "tab\there\x7f", "tab?here?"},
        {"28595",
         "a\x9b"
         "1m\xB0",
         "a?1m\xD0\x90"},
    };
    for (const auto& c : cases) {
        environment_.Set("KESTROVA_OEMCP", c.page);
        SetConsoleTitle(c.oem);
        EXPECT_EQ(Taken(), "\x1b]0;" + c.sent + "\x07") << c.oem;
        EXPECT_EQ(ConsoleTitle(), c.oem);
    }
}

}  // namespace
}  // namespace kestrova::platform
