#include "host/tui/viewer_model.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/temp_folder.h"

namespace kestrova::host::tui {
namespace {

class ViewerTest : public ::testing::Test {
  protected:
    std::string Write(const std::string& content) {
        const std::string path = folder_.Path() + "/viewed.txt";
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    TempFolderForTest folder_;
};

std::string NumberedLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + (i % 2 ? "\r\n" : "\n");
    return text;
}

TEST_F(ViewerTest, LinesAreFoundAnywhereInAFileOfManyIndexBlocks) {
    for (size_t count : {300u, 128u}) {  // index blocks of 64 lines, the last one full or not
        ViewedFile file(Write(NumberedLines(static_cast<int>(count))));
        std::string line;
        for (size_t n : {count - 1, 0ul, 64ul, 63ul, 127ul, 65ul}) {
            ASSERT_TRUE(file.Line(n, line)) << n;
            EXPECT_EQ(line, "line " + std::to_string(n));
        }
        EXPECT_FALSE(file.Line(count, line));
        EXPECT_EQ(file.LineCount(), count);
        EXPECT_EQ(file.LineOffset(count), file.Size());
    }
    EXPECT_EQ(ViewedFile(Write("a\nb")).LineCount(), 2u);
}

TEST_F(ViewerTest, ScrollingStopsWithTheLastLineOnScreen) {
    std::string lines;  // 100 lines of equal length
    for (int i = 100; i < 200; ++i) lines += std::to_string(i) + "\n";
    ViewedFile file(Write(lines));
    ViewerModel model(file, 10, 40);
    struct Case {
        int Key;
        size_t Top;
        int Percent;
    } cases[] = {{VK_NEXT, 10, 20},  {VK_DOWN, 11, 21}, {VK_END, 90, 100}, {VK_DOWN, 90, 100},
                 {VK_PRIOR, 80, 90}, {VK_HOME, 0, 10},  {VK_UP, 0, 10}};
    for (const Case& c : cases) {
        EXPECT_EQ(model.HandleKey(Keystroke{c.Key, 0, 0}), ViewerState::Open);
        EXPECT_EQ(model.TopLine(), c.Top) << c.Key;
        EXPECT_EQ(model.Percent(), c.Percent) << c.Key;
    }
}

// A line without breaks is cut into bounded pieces; control characters and tabs show harmlessly.
TEST_F(ViewerTest, ShownLines) {
    ViewedFile file(Write(std::string(ViewedFile::kLongestLine * 2 + 10, 'x') +
                          "\na\tb\x1b[2J\x07\x7f"
                          "c\n"));
    ViewerModel model(file, 5, 20);
    EXPECT_EQ(model.VisibleLines(),
              (std::vector<std::string>{std::string(20, 'x'), std::string(20, 'x'), "xxxxxxxxxx",
                                        "a       b.[2J..c"}));
}

// Switching code pages and a case-blind Cyrillic search are checked through the screen test; here
// F8 (OEM and ANSI) and the search's column, repetition and end.
TEST_F(ViewerTest, F8SwitchesBetweenOemAndAnsi) {
    ViewedFile file(Write("\xcf\xf0\xe8\xe2\xe5\xf2\n"));  // "Привет" in 1251
    ViewerModel model(file, 5, 80);
    model.HandleKey(Keystroke{VK_F8, 0, 0});
    EXPECT_EQ(model.VisibleLines()[0], "\x8f\xe0\xa8\xa2\xa5\xe2");
    model.SetCodePage(2);
    model.HandleKey(Keystroke{VK_F8, 0, 0});
    EXPECT_EQ(model.CodePage(), 1) << "F8 from a table goes to ANSI";
}

TEST_F(ViewerTest, SearchIgnoresCaseAndContinuesAfterTheLastMatch) {
    std::string text = NumberedLines(50);
    text += "\xaf\xe0\xa8\xa2\xa5\xe2 World\n" + NumberedLines(5) + "hello world\n";
    ViewedFile file(Write(text));
    ViewerModel model(file, 10, 8);
    EXPECT_EQ(model.HandleKey(Keystroke{VK_F7, 0, 0}), ViewerState::SearchWanted);
    ASSERT_TRUE(model.Search("\x8f\x90\x88\x82\x85\x92 WORLD"));  // upper-case Cyrillic
    EXPECT_EQ(model.MatchCell(), std::make_optional(std::make_pair(0, 0 - model.Column())));
    EXPECT_GT(model.Column(), 0) << "the match's end is scrolled into view";
    ASSERT_TRUE(model.Search("WORLD"));
    EXPECT_EQ(model.TopLine(), 50u);
    EXPECT_EQ(model.HandleKey(Keystroke{VK_F7, PKF_SHIFT, 0}), ViewerState::Open);
    EXPECT_EQ(model.TopLine(), 56u);
    EXPECT_EQ(model.HandleKey(Keystroke{VK_F7, PKF_SHIFT, 0}), ViewerState::NotFound);
    EXPECT_EQ(model.TopLine(), 56u);
}

// Space pages down until the end of the text is on screen; from then on it, and every key the
// viewer does not take, goes to the module's viewer keys.
TEST_F(ViewerTest, SpaceAtTheEndAndUnusedKeysGoToTheModule) {
    std::string lines;
    for (int i = 0; i < 25; ++i) lines += std::to_string(i) + "\n";
    ViewedFile file(Write(lines));
    ViewerModel model(file, 10, 40);
    const struct {
        Keystroke Key;
        ViewerState State;
        size_t Top;
    } cases[] = {
        {{VK_SPACE, 0, ' '}, ViewerState::Open, 10},
        {{'N', 0, 'n'}, ViewerState::Unused, 10},
        {{VK_F4, 0, 0}, ViewerState::Unused, 10},
        {{VK_SPACE, 0, ' '}, ViewerState::Open, 15},  // the last line comes on screen
        {{VK_SPACE, 0, ' '}, ViewerState::Unused, 15},
        {{VK_NEXT, 0, 0}, ViewerState::Open, 15},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(model.HandleKey(c.Key), c.State) << c.Key.Key;
        EXPECT_EQ(model.TopLine(), c.Top) << c.Key.Key;
    }
}

}  // namespace
}  // namespace kestrova::host::tui
