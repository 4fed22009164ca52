#include "host/tui/external_editor.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <tuple>

#include "platform/temp_folder.h"

namespace kestrova::host::tui {
namespace {

TEST(ExternalEditor, VisualThenEditorThenTheSystemEditorThenVi) {
    for (auto [visual, editor, installed, command] : {
             std::tuple<const char*, const char*, bool, const char*>{"emacs -nw", "nano", true,
                                                                     "emacs -nw"},
             {"", "nano", true, "nano"},
             {nullptr, nullptr, true, "editor"},
             {nullptr, "", false, "vi"},
         })
        EXPECT_EQ(EditorCommand(visual, editor, installed), command) << command;
}

TEST(ExternalEditor, CursorArgumentsOnlyForEditorsKnownToTakeThem) {
    for (auto [command, line, column, arguments] : {
             // programs that do not exist: named as they are, not as the PATH has them
             std::tuple{"/nowhere/vim.basic", 3, 7, "+3 '+normal! 7|'"},
             {"/nowhere/nano", 3, 7, "+3,7"},
             {"/nowhere/emacs-nox -nw", 3, 7, "+3:7"},
             {"/nowhere/nano", 0, 5, ""},
             {"/nowhere/editor.sh", 3, 7, ""},
         })
        EXPECT_EQ(CursorArguments(command, line, column), arguments) << command;
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
