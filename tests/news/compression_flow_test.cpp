// Compression against the fixture server: asked once after the capabilities and the login when
// offered and wanted, the connection then deflated both ways; any other answer goes on plain.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "news/news_session_fixture.h"

namespace kestrova::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class CompressionFlowTest : public NewsSessionTest {};

TEST_F(CompressionFlowTest, AskedOnceWhenOfferedAndWantedAndCompressesOnlyOn206) {
    const char* refused = R"({"capabilities": true, "compress": true,
        "rules": [{"command": "COMPRESS", "reply": "403 Compression failed"}]})";
    const struct {
        const char* name;
        std::vector<std::string> options;
        const char* controls;
        int wanted;
        bool logIn;
        Names sent;  // the commands up to the first GROUP
        bool compressed;
    } cases[] = {
        {"offered",
         {"--capabilities", "--compress"},
         nullptr,
         1,
         false,
         {"CAPABILITIES", "COMPRESS DEFLATE"},
         true},
        {"after the login",
         {"--capabilities", "--compress", "--user", "ann:pw"},
         nullptr,
         1,
         true,
         {"CAPABILITIES", "AUTHINFO USER ann", "AUTHINFO PASS pw", "CAPABILITIES",
          "COMPRESS DEFLATE"},
         true},
        {"option off",
         {"--capabilities", "--compress"},
         nullptr,
         0,
         false,
         {"CAPABILITIES"},
         false},
        {"not offered", {"--capabilities"}, nullptr, 1, false, {"CAPABILITIES"}, false},
        {"refused (the last: its controls stay)",
         {},
         refused,
         1,
         false,
         {"CAPABILITIES", "COMPRESS DEFLATE"},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        manager.reset();
        server.Stop();
        std::filesystem::remove(server.LogFile());
        std::filesystem::remove(home.At("session.log"));
        if (c.controls) server.SetControls(c.controls);
        server.Start(c.options);
        Options.Connect.Compression = c.wanted;
        TAccountOptions account = Account();
        if (c.logIn) account.Url.UserName = "ann", account.Url.Password = "pw";
        manager = std::make_unique<TNewsInternetManager>(nullptr);
        manager->Connect(account);
        manager->Cache().Blocks().Clear();
        manager->SetDirectory(kTestGroup);
        EXPECT_EQ(List().numbered, (Names{"1 first", "2 second"}));
        Names sent = Sent();
        sent.resize(c.sent.size());
        EXPECT_EQ(sent, c.sent);
        EXPECT_EQ(Sent("COMPRESS").size(), c.sent.back() == "COMPRESS DEFLATE" ? 1u : 0u);
        EXPECT_EQ(manager->Connection().Socket().Compressed(), c.compressed);
        // The log keeps the lines as they read uncompressed, and says where compression began.
        const std::string log = SessionLog();
        EXPECT_THAT(log, HasSubstr("< 211 2 1 2 alt.test"));
        if (c.compressed) {
            EXPECT_THAT(log, HasSubstr("Compression: DEFLATE from here on"));
        } else {
            EXPECT_THAT(log, Not(HasSubstr("Compression:")));
        }
    }
}

}  // namespace
}  // namespace kestrova::testing
