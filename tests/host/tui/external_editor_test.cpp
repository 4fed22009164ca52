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
