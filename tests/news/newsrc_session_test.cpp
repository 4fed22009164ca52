#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "news/news_session_fixture.h"
#include "platform/fresh_store.h"
#include "ui/message_numbers.h"
#include "ui/module_state.h"

namespace kestrova::testing {
namespace {

// A .newsrc as a person writes it, in name order: subscribed groups the server has and one it
// has not listed yet, another group's marks, and a subscribed group read nowhere.
constexpr const char* kHandWritten =
    "alt.test: 1-2\n"
    "comp.lang.c: 1-200,205\n"
    "misc.misc! 3,7-9\n"
    "news.answers:\n";

class NewsrcSessionTest : public NewsSessionTest {
  protected:
    NewsrcSessionTest() { OptionsKey = "Software\\Far\\Plugins\\Kestrova"; }
    FreshStore store;
};

TEST_F(NewsrcSessionTest, AHandWrittenNewsrcImportsAndExportsAgainLineForLine) {
    std::ofstream(home.At("in.newsrc")) << kHandWritten << "not a group line\n";
    server.Start();
    manager = std::make_unique<TNewsInternetManager>(nullptr);
    manager->Connect(Account());
    host.texts[kMsgNewsrcImported] = "%d groups, %d subscribed, %d skipped";
    host.messageAnswers = {0, 0};
    EXPECT_TRUE(manager->ImportNewsrc(home.At("in.newsrc")));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].items[1], "4 groups, 3 subscribed, 1 skipped");
    // The subscribed groups are own groups now, each with its unread articles counted.
    EXPECT_EQ(List().names, (Names{"alt.test", "comp.lang.c", "news.answers"}));
    // Another session of the same account writes the same lines.
    manager = std::make_unique<TNewsInternetManager>(nullptr);
    manager->Connect(Account());
    manager->ExportNewsrc(home.At("out.newsrc"));
    EXPECT_EQ(home.ReadFile("out.newsrc"), kHandWritten);
}

}  // namespace
}  // namespace kestrova::testing
