#include "plugin/target_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

namespace kestrova {
namespace {

// Out of the panel ("\" names) onto the file system ("/"), and back in.
TEST(TargetNames, SplitAndJoin) {
    const struct {
        const char* fileName;
        bool folder;
        std::string dest;
        char sourceDelim, destDelim;
        TTargetNames expected;
    } cases[] = {
        {"srv", false, "/home/u/", '\\', '/', {"srv", "/home/u/", "srv", ""}},
        {"News\\srv", false, "/home/u/", '\\', '/', {"srv", "/home/u/News/", "srv", "News\\"}},
        {"News\\Sub", true, "/home/u/", '\\', '/', {"", "/home/u/News/Sub/", "", "News\\Sub\\"}},
        {"srv", false, "/home/u/saved.ini", '\\', '/', {"saved.ini", "/home/u/", "srv", ""}},
        {"srv", false, "/home/u/*.ini", '\\', '/', {"srv.ini", "/home/u/", "srv", ""}},
        {"box/inside.ini",
         false,
         "\\Back\\",
         '/',
         '\\',
         {"inside.ini", "\\Back\\box\\", "inside.ini", "box/"}},
        {"box/sub", true, "\\Back\\", '/', '\\', {"", "\\Back\\box\\sub\\", "", "box/sub/"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName + (" to " + c.dest));
        TFindItem record;
        std::strcpy(record.FindData.cFileName, c.fileName);
        record.FindData.dwFileAttributes =
            c.folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
        const TTargetNames names =
            MakeTargetNames(record, kTargetApplyMask, c.dest, c.sourceDelim, c.destDelim);
        EXPECT_EQ(
            std::tie(names.Name, names.Dir, names.SourceName, names.SourceDir),
            std::tie(c.expected.Name, c.expected.Dir, c.expected.SourceName, c.expected.SourceDir));
    }
}

}  // namespace
}  // namespace kestrova
