#include "plugin/target_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace kestrova {
namespace {

struct NamesCase {
    const char* name;
    const char* fileName;
    bool folder;
    std::string dest;
    char sourceDelim, destDelim;
    TTargetNames expected;
};

class TargetNamesCases : public ::testing::TestWithParam<NamesCase> {};

TEST_P(TargetNamesCases, SplitAndJoin) {
    const NamesCase& c = GetParam();
    TFindItem record;
    std::strcpy(record.FindData.cFileName, c.fileName);
    record.FindData.dwFileAttributes = c.folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    const TTargetNames names =
        MakeTargetNames(record, kTargetApplyMask, c.dest, c.sourceDelim, c.destDelim);
    EXPECT_EQ(names.Name, c.expected.Name);
    EXPECT_EQ(names.Dir, c.expected.Dir);
    EXPECT_EQ(names.SourceName, c.expected.SourceName);
    EXPECT_EQ(names.SourceDir, c.expected.SourceDir);
}

// Out of the panel ("\" names) onto the file system ("/"), and back in.
INSTANTIATE_TEST_SUITE_P(
    Cases, TargetNamesCases,
    ::testing::Values(
        NamesCase{
            "PlainAccountOut", "srv", false, "/home/u/", '\\', '/', {"srv", "/home/u/", "srv", ""}},
        NamesCase{"AccountInsideAFolderOut",
                  "News\\srv",
                  false,
                  "/home/u/",
                  '\\',
                  '/',
                  {"srv", "/home/u/News/", "srv", "News\\"}},
        NamesCase{"FolderOut",
                  "News\\Sub",
                  true,
                  "/home/u/",
                  '\\',
                  '/',
                  {"", "/home/u/News/Sub/", "", "News\\Sub\\"}},
        NamesCase{"AnswerNamesTheFile",
                  "srv",
                  false,
                  "/home/u/saved.ini",
                  '\\',
                  '/',
                  {"saved.ini", "/home/u/", "srv", ""}},
        NamesCase{"MaskKeepsTheName",
                  "srv",
                  false,
                  "/home/u/*.ini",
                  '\\',
                  '/',
                  {"srv.ini", "/home/u/", "srv", ""}},
        NamesCase{"FileIn",
                  "box/inside.ini",
                  false,
                  "\\Back\\",
                  '/',
                  '\\',
                  {"inside.ini", "\\Back\\box\\", "inside.ini", "box/"}},
        NamesCase{"FolderIn",
                  "box/sub",
                  true,
                  "\\Back\\",
                  '/',
                  '\\',
                  {"", "\\Back\\box\\sub\\", "", "box/sub/"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrova
