#include "host/tui/external_editor.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/temp_folder.h"

namespace kestrova::host::tui {
namespace {

TEST(ExternalEditor, VisualThenEditorThenTheSystemEditorThenVi) {
    struct Case {
        const char* Visual;
        const char* Editor;
        bool Installed;
        const char* Command;
    } cases[] = {
        {"emacs -nw", "nano", true, "emacs -nw"},
        {"", "nano", true, "nano"},
        {nullptr, nullptr, true, "editor"},
        {nullptr, "", false, "vi"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditorCommand(c.Visual, c.Editor, c.Installed), c.Command) << c.Command;
}

TEST(ExternalEditor, CursorArgumentsOnlyForEditorsKnownToTakeThem) {
    struct Case {
        const char* Command;
        int Line, Column;
        const char* Arguments;
    } cases[] = {
        // programs that do not exist: named as they are, not as the PATH has them
        {"/nowhere/vim.basic", 3, 7, "+3 '+normal! 7|'"},
        {"/nowhere/nano", 3, 7, "+3,7"},
        {"/nowhere/emacs-nox -nw", 3, 7, "+3:7"},
        {"/nowhere/nano", 0, 5, ""},
        {"/nowhere/editor.sh", 3, 7, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CursorArguments(c.Command, c.Line, c.Column), c.Arguments) << c.Command;
}

TEST(ExternalEditor, TheFileIsOneArgumentWhateverItsName) {
    TempFolderForTest folder;
    const std::string file = folder.Path() + "/it's a $file; name";
    std::ofstream(file) << "x";
    ASSERT_TRUE(RunEditor("sed -i s/x/y/", file));
    std::ifstream in(file);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), "y");
    EXPECT_FALSE(RunEditor("false", file));
}

}  // namespace
}  // namespace kestrova::host::tui
