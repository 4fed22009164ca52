#include "host/tui/viewer_model.h"

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

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
    for (auto [key, top, percent] : {std::tuple{VK_NEXT, 10u, 20},
                                     {VK_DOWN, 11u, 21},
                                     {VK_END, 90u, 100},
                                     {VK_DOWN, 90u, 100},
                                     {VK_PRIOR, 80u, 90},
                                     {VK_HOME, 0u, 10},
                                     {VK_UP, 0u, 10}}) {
        EXPECT_EQ(model.HandleKey(Keystroke{key, 0, 0}), ViewerState::Open);
        EXPECT_EQ(model.TopLine(), top) << key;
        EXPECT_EQ(model.Percent(), percent) << key;
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

// An article's body is read in its own charset (lines of UTF-8 stay as they are); F8 switches
// between the first two sets, and every set of the menu reads the file.
TEST_F(ViewerTest, ArticlesAreReadInTheirOwnCharset) {
    ViewedFile file(Write("Gr\xC3\xBC\xC3\x9F\x65\n\xF0\xD2\xC9\xD7\xC5\xD4\n"));
    ViewerModel model(file, 5, 80, "koi8-r");
    EXPECT_EQ(model.CodePageNames(),
              (std::vector<std::string>{"koi8-r", "UTF-8", "KOI-8", "CP-1251   (Windows russian)",
                                        "ISO 8859-5 (Unix russian)"}));
    EXPECT_EQ(model.VisibleLines(), (std::vector<std::string>{"Grüße", "Привет"}));
    model.HandleKey(Keystroke{VK_F8, 0, 0});
    EXPECT_EQ(model.VisibleLines()[1], "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD") << "as UTF-8";
    model.SetCodePage(3);
    EXPECT_EQ(model.VisibleLines()[1], "рТЙЧЕФ") << "as CP-1251";
    model.HandleKey(Keystroke{VK_F8, 0, 0});
    EXPECT_EQ(model.CodePage(), 1) << "F8 from a table goes to the second set";
    // A set that reads as the UTF-8 OEM code page does is no set of its own.
    for (const char* same : {"x-unknown", "utf-8", "UTF8", "us-ascii"})
        EXPECT_EQ(ViewerModel(file, 5, 80, same).CodePageNames()[0], "UTF-8") << same;
}

// Wide characters take two cells: the visible part and a match's cell count cells, not bytes.
TEST_F(ViewerTest, WideCharactersTakeTwoCells) {
    ViewedFile file(Write("中文中文 abc\n"));
    ViewerModel model(file, 5, 5);
    EXPECT_EQ(model.VisibleLines()[0], "中文");  // a third wide character would cross the edge
    ASSERT_TRUE(model.Search("ABC"));
    EXPECT_EQ(model.MatchCell(), std::make_optional(std::make_pair(0, 9 - model.Column())));
}

TEST_F(ViewerTest, SearchIgnoresCaseAndContinuesAfterTheLastMatch) {
    std::string text = NumberedLines(50);
    text += "привет World\n" + NumberedLines(5) + "hello world\n";
    ViewedFile file(Write(text));
    ViewerModel model(file, 10, 8);
    EXPECT_EQ(model.HandleKey(Keystroke{VK_F7, 0, 0}), ViewerState::SearchWanted);
    ASSERT_TRUE(model.Search("ПРИВЕТ WORLD"));  // upper-case Cyrillic
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
    for (auto [key, state, top] : {
             std::tuple{Keystroke{VK_SPACE, 0, ' '}, ViewerState::Open, 10u},
             {{'N', 0, 'n'}, ViewerState::Unused, 10},
             {{VK_F4, 0, 0}, ViewerState::Unused, 10},
             {{VK_SPACE, 0, ' '}, ViewerState::Open, 15},  // the last line comes on screen
             {{VK_SPACE, 0, ' '}, ViewerState::Unused, 15},
             {{VK_NEXT, 0, 0}, ViewerState::Open, 15},
         }) {
        EXPECT_EQ(model.HandleKey(key), state) << key.Key;
        EXPECT_EQ(model.TopLine(), top) << key.Key;
    }
}

}  // namespace
}  // namespace kestrova::host::tui
