#include "news/connection_log.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <sstream>
#include <string>

#include "common/streams.h"
#include "platform/clock.h"
#include "temp_home.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

using namespace std::string_literals;

constexpr SYSTEMTIME kMorning{2024, 3, 2, 5, 7, 8, 9, 0};

const TConnectionLog::LocalClock kFixed = [] { return kMorning; };

TEST(ConnectionLogTest, LineHasDateTimeOwnerLevelAndText) {
    TempHomeForTest home;
    TConnectionLog log("news.log", kFixed);
    const std::string date = platform::ShortDateText(kMorning);
    EXPECT_EQ(log.FormatLine(0x1F, 1, "> GROUP alt.test"),
              date + " 07:08:09 0000001F 1 > GROUP alt.test\r\n");
    EXPECT_EQ(log.FormatLine(0xDEADBEEF, 3, ""), date + " 07:08:09 DEADBEEF 3 \r\n");
    // A server's line can neither split the log line nor reach the terminal of its reader.
    EXPECT_EQ(log.FormatLine(2, 1, "< 200 a\x1b]0;x\x07\r\nforged"),
              date + " 07:08:09 00000002 1 < 200 a^[]0;x^G  forged\r\n");
}

// A session's lines name its owner in eight digits and stop at the option LogLevel.
TEST(ConnectionLogTest, SessionLinesNameTheOwnerUpToTheLogLevel) {
    TempHomeForTest home;
    const TConnectOptions saved = Options.Connect;
    Options.Connect.CreateLog = 1;
    Options.Connect.LogFile = "news.log";
    Options.Connect.LogLevel = 1;
    TSessionLog log(reinterpret_cast<HANDLE>(0x7F12ABCDEF01ull));
    log.Write(1, "Hi");
    log.Write(2, "too detailed");
    Options.Connect = saved;
    const std::string text = home.ReadFile("news.log");
    EXPECT_NE(text.find(" ABCDEF01 1 Hi\r\n"), std::string::npos);
    EXPECT_EQ(text.find("too detailed"), std::string::npos);
}

TEST(ConnectionLogTest, PasswordArgumentIsMasked) {
    const std::pair<const char*, const char*> cases[] = {
        {"> AUTHINFO PASS s3cret", "> AUTHINFO PASS ********"},
        {"> authinfo pass s3cret word", "> authinfo pass ********"},
        {"> AUTHINFO PASS ", "> AUTHINFO PASS ********"},
        {"> AUTHINFO PASS", "> AUTHINFO PASS"},
        {"> AUTHINFO USER bob", "> AUTHINFO USER bob"},
        {"< 381 AUTHINFO PASS required", "< 381 AUTHINFO PASS required"},
        {"AUTHINFO PASS in a posted line", "AUTHINFO PASS in a posted line"},
    };
    for (const auto& [text, logged] : cases) EXPECT_EQ(MaskSecrets(text), logged) << text;
}

// Two panels (and another process) append to one file: no line is lost, cut or overwritten, and
// an existing file is never truncated.
TEST(ConnectionLogTest, SharedFileKeepsEveryLineWhole) {
    TempHomeForTest home;
    { TConnectionLog("news.log", kFixed).WriteLine(9, 0, "earlier session"); }
    TConnectionLog first("news.log", kFixed);
    TConnectionLog second("news.log", kFixed);
    const int lines = 200;
    const pid_t child = fork();
    if (child == 0) {
        TConnectionLog other("news.log", kFixed);
        for (int i = 0; i < lines; ++i) other.WriteLine(3, 3, "process line " + std::to_string(i));
        _exit(0);
    }
    for (int i = 0; i < lines; ++i) {
        first.WriteLine(1, 1, "first " + std::to_string(i));
        second.WriteLine(2, 1, "second " + std::to_string(i));
    }
    waitpid(child, nullptr, 0);

    // Each whole line counted by its owner, level and first words (the number left out).
    const size_t time = platform::ShortDateText(kMorning).size() + 10;
    std::map<std::string, int> counts;
    std::istringstream all(ReadWholeFile(home.At("news.log")));
    for (std::string line; std::getline(all, line);) {
        ++counts[line.substr(time, line.rfind(' ') - time) + (line.ends_with('\r') ? "" : " cut")];
    }
    EXPECT_EQ(counts, (std::map<std::string, int>{{"00000009 0 earlier", 1},
                                                  {"00000001 1 first", lines},
                                                  {"00000002 1 second", lines},
                                                  {"00000003 3 process line", lines}}));
}

// A stream stands between aligned markers in the file of the name (in the home folder when it
// has no folder); a file that cannot be opened means no log, and writing to it raises nothing.
TEST(ConnectionLogTest, StreamStandsBetweenAlignedMarkers) {
    TempHomeForTest home;
    EXPECT_EQ(LogFilePath("news.log"), home.At("news.log"));
    TConnectionLog log("news.log", kFixed);
    TMemoryStream article;
    const std::string body = "Subject: test\r\n\r\n" + std::string(70000, 'x');
    article.WriteText(body);  // longer than one copy block; position left at the end
    log.WriteStream(0xAB, 3, "alt.test", article);
    const std::string prefix = platform::ShortDateText(kMorning) + " 07:08:09 000000AB 3 ";
    EXPECT_EQ(ReadWholeFile(home.At("news.log")), prefix + "=== Begin: alt.test ===\r\n" + body +
                                                      "\r\n" + prefix +
                                                      "===   End: alt.test ===\r\n");
    TConnectionLog missing(home.At("missing/news.log"), kFixed);
    EXPECT_FALSE(missing.IsOpen());
    missing.WriteLine(1, 1, "nothing");
    missing.WriteStream(1, 3, "Message", article);
}

}  // namespace
}  // namespace kestrova
