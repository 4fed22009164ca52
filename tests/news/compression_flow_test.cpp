// Compression against the fixture server: asked once after the capabilities and the login when
// offered and wanted, the connection then deflated both ways; any other answer goes on plain.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
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
        std::vector<std::string> options;  // the server's; with --user the account logs in
        const char* controls;
        int wanted;
        bool asked;  // COMPRESS DEFLATE follows the capabilities (and the login)
        bool compressed;
    } cases[] = {
        {"offered", {"--capabilities", "--compress"}, nullptr, 1, true, true},
        {"logged in", {"--capabilities", "--compress", "--user", "ann:pw"}, nullptr, 1, true, true},
        {"option off", {"--capabilities", "--compress"}, nullptr, 0, false, false},
        {"not offered", {"--capabilities"}, nullptr, 1, false, false},
        {"refused (the last: its controls stay)", {}, refused, 1, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.controls) server.SetControls(c.controls);
        Restart(c.options);
        std::filesystem::remove(home.At("session.log"));
        Options.Connect.Compression = c.wanted;
        TAccountOptions account = Account();
        Names expected = {"CAPABILITIES"};  // the commands up to the first GROUP
        if (std::ranges::find(c.options, "--user") != c.options.end()) {
            account.Url.UserName = "ann", account.Url.Password = "pw";
            expected.insert(expected.end(),
                            {"AUTHINFO USER ann", "AUTHINFO PASS pw", "CAPABILITIES"});
        }
        if (c.asked) expected.push_back("COMPRESS DEFLATE");
        ConnectNew(account);
        manager->Cache().Blocks().Clear();
        manager->SetDirectory(kTestGroup);
        EXPECT_EQ(List().numbered, (Names{"1 first", "2 second"}));
        Names sent = Sent();
        sent.resize(expected.size());
        EXPECT_EQ(sent, expected);
        EXPECT_EQ(Sent("COMPRESS").size(), c.asked ? 1u : 0u);
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
