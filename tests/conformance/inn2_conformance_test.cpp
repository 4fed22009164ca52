// The NNTP session against a real news server on loopback (tools/peers/inn2.sh), directly and
// through Dante with SOCKS 4 and SOCKS 5 (tools/peers/dante.sh): greeting, login, GROUP, LIST,
// NEWGROUPS, the HEAD/NEXT walk, article bodies as their authors wrote them, and NEWNEWS after
// new articles were posted by tools/peers/seed.py.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/errors.h"
#include "conformance/peer_availability.h"
#include "news/news_internet_manager.h"
#include "news/news_proxy_manager.h"
#include "news/reply_codes.h"
#include "news/temp_home.h"
#include "ui/fake_host.h"
#include "ui/plugin_options.h"

namespace kestrova::testing {
namespace {

constexpr const char* kInnScript = "tools/peers/inn2.sh";
constexpr const char* kTestGroup = "kestrova.test";
constexpr const char* kSeedDomain = "seed.example.test";

uint16_t ReaderPort() {
    return PeerPort("INN_READER_PORT", 1119);
}
uint16_t LoginPort() {
    return PeerPort("INN_AUTH_PORT", 1120);
}
uint16_t DantePort() {
    return PeerPort("DANTE_PORT", 1080);
}
std::string TestUser() {
    return PeerEnv("INN_TEST_USER", "tester");
}
std::string TestPassword() {
    return PeerEnv("INN_TEST_PASS", "secret");
}

// How the session reaches the server.
struct Route {
    const char* name;
    int socksVersion;  // 0: a direct connection
};

void PrintTo(const Route& route, std::ostream* out) {
    *out << route.name;
}

// The status line "211 count low high name" of GROUP.
struct GroupStatus {
    long count = -1, low = -1, high = -1;
    std::string name;
};

GroupStatus ParseGroupStatus(const std::string& line) {
    GroupStatus status;
    int code = 0;
    std::istringstream(line) >> code >> status.count >> status.low >> status.high >> status.name;
    return status;
}

// A line "name high low flag" of LIST or NEWGROUPS, by group name.
std::map<std::string, std::string> FlagsByGroup(const std::vector<std::string>& lines) {
    std::map<std::string, std::string> flags;
    for (const std::string& line : lines) {
        std::istringstream fields(line);
        std::string name, high, low, flag, extra;
        fields >> name >> high >> low >> flag;
        EXPECT_FALSE(flag.empty() || fields >> extra) << "not four fields: " << line;
        flags[name] = flag;
    }
    return flags;
}

std::string HeaderValue(const std::vector<std::string>& header, const std::string& name) {
    for (const std::string& line : header) {
        if (line.size() > name.size() + 1 && line.compare(0, name.size(), name) == 0 &&
            line[name.size()] == ':') {
            return line.substr(name.size() + 2);
        }
    }
    return {};
}

// Message-ID of the sample article kind posted by seed.py under runId.
std::string SampleId(const std::string& kind, const std::string& runId) {
    return "<" + kind + "." + runId + "@" + kSeedDomain + ">";
}

// Posts seed.py's sample articles with Message-IDs made of a fresh run id; returns the id.
std::string PostSamples() {
    static int serial = 0;
    const std::string runId =
        "conf" + std::to_string(getpid()) + "x" + std::to_string(++serial) + "x" +
        std::to_string(std::chrono::system_clock::now().time_since_epoch().count());
    const std::filesystem::path source = std::filesystem::path(__FILE__).parent_path() / "../..";
    const std::string command = "python3 '" + (source / "tools/peers/seed.py").string() +
                                "' --samples --port " + std::to_string(ReaderPort()) +
                                " --run-id " + runId + " >/dev/null";
    const int status = std::system(command.c_str());
    EXPECT_EQ(status, 0) << command;
    return runId;
}

// The day after the server's DATE reply "111 yyyymmddhhmmss", as NEWGROUPS/NEWNEWS arguments.
std::string DayAfter(const std::string& dateReply) {
    using namespace std::chrono;
    const std::string stamp = dateReply.substr(4, 14);
    const year_month_day day{
        year{std::stoi(stamp.substr(0, 4))},
        month{static_cast<unsigned>(std::stoi(stamp.substr(4, 2)))},
        std::chrono::day{static_cast<unsigned>(std::stoi(stamp.substr(6, 2)))}};
    const year_month_day next{sys_days{day} + days{1}};
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02u%02u %s GMT", static_cast<int>(next.year()),
                  static_cast<unsigned>(next.month()), static_cast<unsigned>(next.day()),
                  stamp.substr(8, 6).c_str());
    return text;
}

// The server's DATE reply turned into "yyyymmdd hhmmss GMT".
std::string NewsStamp(const std::string& dateReply) {
    return dateReply.substr(4, 8) + " " + dateReply.substr(12, 6) + " GMT";
}

class Inn2Session : public HostTest, public ::testing::WithParamInterface<Route> {
  protected:
    Inn2Session() : savedOptions_(Options) {
        Options.Connect.CreateLog = 1;
        Options.Connect.LogLevel = 3;
        Options.Connect.LogFile = "session.log";
        Options.Connect.ServerTimeout = 5;  // 10 seconds: a broken exchange fails, never hangs
        Options.Connect.CacheLife = 0;
    }
    ~Inn2Session() override {
        manager.reset();
        Options = savedOptions_;
    }

    void SetUp() override {
        SKIP_UNLESS_LISTENING(ReaderPort(), "the news server", kInnScript, "INN_READER_PORT");
        SKIP_UNLESS_LISTENING(LoginPort(), "the news server (login)", kInnScript, "INN_AUTH_PORT");
        if (GetParam().socksVersion != 0) {
            SKIP_UNLESS_LISTENING(DantePort(), "dante", "tools/peers/dante.sh", "DANTE_PORT");
        }
    }

    // The session transcript helps when a test fails.
    void TearDown() override {
        if (!HasFailure()) return;
        std::ifstream log(home.At("session.log"), std::ios::binary);
        std::cerr << "--- session log ---\n" << log.rdbuf() << "--- end ---\n";
    }

    // A new manager of the route's kind, connected to port and logged in when user is given.
    void ConnectTo(uint16_t port, const std::string& user = "", const std::string& password = "") {
        const Route& route = GetParam();
        if (route.socksVersion == 0) {
            manager = std::make_unique<TNewsInternetManager>(nullptr);
        } else {
            Options.Proxy.Url.HostName = "127.0.0.1";
            Options.Proxy.Url.Port = DantePort();
            Options.Proxy.Socks5 = route.socksVersion == 5 ? 1 : 0;
            manager = std::make_unique<TNewsProxyManager>(nullptr);
        }
        TAccountOptions account;
        account.Url.Scheme = "news";
        account.Url.HostName = "127.0.0.1";
        account.Url.Port = port;
        account.Url.UserName = user;
        account.Url.Password = password;
        manager->Connect(account);
    }

    // Sends command; returns its status code (unchecked, so the test sees every code).
    int Send(const std::string& command, const std::string& argument = "") {
        return manager->SendCommand(*manager->Socket, command, kLogCommand,
                                    kWaitForReply | kKeepReply, argument);
    }

    // The lines of the multi-line block that follows a status line.
    std::vector<std::string> ReadBlock() {
        std::vector<std::string> lines;
        std::string line;
        DataLine result;
        while ((result = manager->ReadDataLine(*manager->Socket, line)) == DataLine::Data) {
            lines.push_back(line);
        }
        EXPECT_EQ(result, DataLine::End) << "the block was cut short";
        return lines;
    }

    // Sends command, expects expected, and reads the block.
    std::vector<std::string> Block(const std::string& command, const std::string& argument,
                                   int expected) {
        EXPECT_EQ(Send(command, argument), expected) << manager->ReplyLine;
        if (manager->ReplyCode != expected) return {};
        return ReadBlock();
    }

    std::string Date() {
        EXPECT_EQ(Send("DATE"), 111) << manager->ReplyLine;
        return manager->ReplyLine;
    }

    std::string SessionLog() const {
        std::ifstream in(home.At("session.log"), std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }

    TempHomeForTest home;
    std::unique_ptr<TNewsInternetManager> manager;

  private:
    TPluginOptions savedOptions_;
};

TEST_P(Inn2Session, GreetingAllowsPostingOnTheOpenPort) {
    ConnectTo(ReaderPort());
    EXPECT_TRUE(manager->IsConnected());
    EXPECT_EQ(manager->ReplyCode, 200);
    EXPECT_NE(manager->ServerFlags & kServerAllowsPosting, 0);
    EXPECT_EQ(manager->State, NewsState::OwnGroups);
    EXPECT_EQ(manager->GetPath(), ".");
}

TEST_P(Inn2Session, LoginDecidesWhatTheLoginPortAllows) {
    struct Case {
        const char* what;
        std::string password;
        int loginReply;
        uint32_t groupFailure;  // 0: GROUP is answered 211
    };
    const Case cases[] = {
        {"right password", TestPassword(), 281, 0},
        {"wrong password", TestPassword() + "-wrong", 481, 480u | kTransient},
    };
    for (const Case& c : cases) {
        ConnectTo(LoginPort(), TestUser(), c.password);
        EXPECT_EQ(manager->ReplyCode, c.loginReply) << c.what << ": " << manager->ReplyLine;
        try {
            manager->SetDirectory(kTestGroup);
            EXPECT_EQ(c.groupFailure, 0u) << c.what << ": GROUP was answered";
            EXPECT_EQ(manager->ReplyCode, 211) << c.what;
            EXPECT_EQ(manager->State, NewsState::InGroup) << c.what;
        } catch (const EInternetError& error) {
            EXPECT_EQ(error.Code, c.groupFailure) << c.what << ": " << error.Message;
            EXPECT_EQ(manager->State, NewsState::OwnGroups) << c.what;
        }
    }
    const std::string log = SessionLog();
    EXPECT_NE(log.find("> AUTHINFO USER " + TestUser()), std::string::npos) << log;
    EXPECT_EQ(log.find(TestPassword()), std::string::npos) << "the log holds the password";
}

TEST_P(Inn2Session, GroupEntersAndMissingThingsFailAsItemFailures) {
    ConnectTo(ReaderPort());
    manager->SetDirectory(kTestGroup);
    EXPECT_EQ(manager->State, NewsState::InGroup);
    EXPECT_EQ(manager->GetPath(), kTestGroup);
    const GroupStatus status = ParseGroupStatus(manager->ReplyLine);
    EXPECT_EQ(status.name, kTestGroup) << manager->ReplyLine;
    EXPECT_LE(status.low, status.high + 1) << manager->ReplyLine;

    const std::pair<std::string, uint32_t> cases[] = {
        {"HEAD 999999999", 423u | kItemFailure},
        {"HEAD <no.such.article@example.test>", 430u | kItemFailure},
        {"GROUP no.such.group", 411u | kItemFailure},
    };
    for (const auto& [command, code] : cases) {
        try {
            manager->SendCommand(*manager->Socket, command, kLogCommand, kWaitForReply, "");
            ADD_FAILURE() << command << " was accepted: " << manager->ReplyLine;
        } catch (const EInternetError& error) {
            EXPECT_EQ(error.Code, code) << command << ": " << error.Message;
            EXPECT_EQ(error.ProcName, "SendCommand");
        }
        EXPECT_TRUE(manager->IsConnected()) << command;
    }
}

TEST_P(Inn2Session, ListCarriesEveryTestGroupWithItsFlag) {
    ConnectTo(ReaderPort());
    const auto flags = FlagsByGroup(Block("LIST", "", 215));
    const std::pair<const char*, const char*> expected[] = {
        {"kestrova.test", "y"},          {"kestrova.test.moderated", "m"},
        {"kestrova.test.readonly", "n"}, {"kestrova.test.koi8", "y"},
        {"kestrova.test.bench", "y"},    {"local.test.g01", "y"},
        {"local.test.g20", "y"},
    };
    for (const auto& [group, flag] : expected) {
        const auto found = flags.find(group);
        ASSERT_NE(found, flags.end()) << group << " is not listed";
        EXPECT_EQ(found->second, flag) << group;
    }
    EXPECT_GE(flags.size(), 25u);
    // The connection is in step after the block.
    EXPECT_EQ(Send("GROUP", kTestGroup), 211);
}

TEST_P(Inn2Session, NewGroupsListsTheTestGroupsSinceTheirCreationOnly) {
    ConnectTo(ReaderPort());
    const auto created = FlagsByGroup(Block("NEWGROUPS", "20000101 000000 GMT", 231));
    ASSERT_EQ(created.count("kestrova.test.moderated"), 1u);
    EXPECT_EQ(created.at("kestrova.test.moderated"), "m");
    ASSERT_EQ(created.count("kestrova.test.readonly"), 1u);
    EXPECT_EQ(created.at("kestrova.test.readonly"), "n");
    EXPECT_EQ(created.count("local.test.g20"), 1u);

    EXPECT_TRUE(Block("NEWGROUPS", DayAfter(Date()), 231).empty());
}

TEST_P(Inn2Session, HeadNextWalkVisitsEveryArticleOnce) {
    const std::string runId = PostSamples();
    ConnectTo(ReaderPort());
    manager->SetDirectory(kTestGroup);
    const GroupStatus status = ParseGroupStatus(manager->ReplyLine);
    ASSERT_GT(status.count, 0) << manager->ReplyLine;

    std::vector<long> numbers;
    std::map<std::string, std::string> subjectById;
    auto readHead = [&] {
        ASSERT_EQ(manager->ReplyCode, 221) << manager->ReplyLine;
        numbers.push_back(std::stol(manager->ReplyLine.substr(4)));
        const std::vector<std::string> header = ReadBlock();
        subjectById[HeaderValue(header, "Message-ID")] = HeaderValue(header, "Subject");
    };
    Send("HEAD");  // the first article is the current one after GROUP
    readHead();
    while (Send("NEXT") == 223) {
        ASSERT_EQ(Send("HEAD"), 221) << manager->ReplyLine;
        readHead();
        ASSERT_LE(numbers.size(), static_cast<size_t>(status.count)) << "the walk does not end";
    }
    EXPECT_EQ(manager->ReplyCode, 421) << manager->ReplyLine;

    EXPECT_EQ(static_cast<long>(numbers.size()), status.count);
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    EXPECT_EQ(std::adjacent_find(numbers.begin(), numbers.end()), numbers.end());
    EXPECT_EQ(numbers.front(), status.low);
    EXPECT_EQ(numbers.back(), status.high);
    const std::pair<const char*, const char*> posted[] = {
        {"ascii", "Plain ASCII article"},
        {"dots", "Body lines starting with dots"},
        {"crosspost", "Crossposted article"},
    };
    for (const auto& [kind, subject] : posted) {
        EXPECT_EQ(subjectById[SampleId(kind, runId)], subject) << kind;
    }
    EXPECT_EQ(subjectById.count(SampleId("koi8", runId)), 0u) << "an article of another group";
}

TEST_P(Inn2Session, BodiesComeOutAsTheirAuthorsWroteThem) {
    const std::string runId = PostSamples();
    ConnectTo(ReaderPort());
    struct Case {
        const char* kind;
        std::vector<std::string> body;
    };
    const Case cases[] = {
        {"dots",
         {"The next line is a single dot:", ".", ".leading dot", "..two dots", "... three dots",
          "last line"}},
        {"digits",
         {"200 looks like a greeting", "211 5 1 5 looks like GROUP",
          "480 looks like an auth request", ".", "222 after a dot line"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Block("BODY", SampleId(c.kind, runId), 222), c.body) << c.kind;
    }
    EXPECT_EQ(Send("GROUP", kTestGroup), 211);
}

TEST_P(Inn2Session, NewNewsReportsArticlesPostedSinceTheStamp) {
    ConnectTo(ReaderPort());
    const std::string since = NewsStamp(Date());
    const std::string runId = PostSamples();
    const std::vector<std::string> ids =
        Block("NEWNEWS", std::string(kTestGroup) + " " + since, 230);
    for (const char* kind : {"ascii", "reply", "dots", "digits", "nolines", "crosspost"}) {
        EXPECT_NE(std::find(ids.begin(), ids.end(), SampleId(kind, runId)), ids.end()) << kind;
    }
    for (const char* kind : {"koi8", "approved"}) {  // posted to other groups only
        EXPECT_EQ(std::find(ids.begin(), ids.end(), SampleId(kind, runId)), ids.end()) << kind;
    }
    EXPECT_TRUE(Block("NEWNEWS", std::string(kTestGroup) + " " + DayAfter(Date()), 230).empty());
}

INSTANTIATE_TEST_SUITE_P(Routes, Inn2Session,
                         ::testing::Values(Route{"Direct", 0}, Route{"DanteSocks4", 4},
                                           Route{"DanteSocks5", 5}),
                         [](const ::testing::TestParamInfo<Route>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace kestrova::testing
