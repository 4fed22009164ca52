#include <gtest/gtest.h>

#include <tuple>

#include "host/help_file.h"
#include "host/tui/help_text.h"

namespace kestrova::host {
namespace {

TEST(HelpFile, TopicsFromTheirMarksFoundWithoutRegardToCase) {
    const HelpFile file = HelpFile::Parse(
        "// comment\r\nbefore any topic\r\n@Contents\r\nTitle\r\n  text\r\n\r\n\r\n"
        "@dlgProxy\nProxy\n// skipped\n@\nkept: a lone @ is text\n");
    ASSERT_EQ(file.Topics().size(), 2u);
    EXPECT_EQ(file.Topics()[0].Lines, (std::vector<std::string>{"Title", "  text"}));
    ASSERT_NE(file.Find("DLGPROXY"), nullptr);
    EXPECT_EQ(file.Find("dlgproxy")->Lines,
              (std::vector<std::string>{"Proxy", "@", "kept: a lone @ is text"}));
    EXPECT_EQ(file.Find("dlgProx"), nullptr);
    EXPECT_TRUE(HelpFile::Load("/nonexistent/help.hlf").Topics().empty());
    EXPECT_EQ(HelpFileName("KestrovaRus.lng"), "KestrovaRus.hlf");
}

TEST(HelpText, TheTopicAskedForElseAllThenTheKeysOfThePlace) {
    const HelpFile file = HelpFile::Parse("@Contents\nAll\n@dlgProxy\nProxy\n");
    using Case = std::tuple<const char*, tui::HelpPlace, std::vector<std::string>>;
    for (const auto& [topic, place, start] : {
             Case{"dlgProxy", tui::HelpPlace::Dialog, {"Proxy", "", "Keys of dialogs"}},
             {"", tui::HelpPlace::Panel, {"All", "", "Proxy", "", "Keys of the panels"}},
             {"dlgUnknown", tui::HelpPlace::Panel, {"All", "", "Proxy", "", "Keys of the panels"}},
             {"", tui::HelpPlace::Viewer, {"Keys of the viewer"}},
         }) {
        const std::vector<std::string> lines = tui::HelpLines(file, topic, place);
        ASSERT_GE(lines.size(), start.size()) << topic;
        EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + start.size()), start)
            << topic;
    }
}

}  // namespace
}  // namespace kestrova::host
