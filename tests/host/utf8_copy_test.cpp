#include "host/utf8_copy.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace kestrova::host {
namespace {

// The editor's copy has LF line ends; what it saves goes back with the file's own line ends.
TEST(EditAsUtf8, TheCopyHasLfEndsAndTheFileKeepsItsOwn) {
    const struct {
        std::string Original, Copy, Appended, Saved;
    } cases[] = {
        {"> quoted\r\nreply\r\n", "> quoted\nreply\n", "more\n", "> quoted\r\nreply\r\nmore\r\n"},
        {"lf\n", "lf\n", "more\n", "lf\nmore\n"},
        {"a\r\n", "a\n", "b\r\n", "a\r\nb\r\n"},  // an editor that writes CR LF itself
        {"lone\rcr\r\n", "lone\rcr\n", "", "lone\rcr\r\n"},
    };
    for (const auto& c : cases) {
        char path[] = "/tmp/kestrova-edit-XXXXXX";
        const int fd = mkstemp(path);
        ASSERT_GE(fd, 0);
        close(fd);
        WriteFileBytes(path, c.Original);
        std::string copy;
        const bool changed = EditAsUtf8(path, [&](const std::string& native) {
            copy = ReadFileBytes(native);
            WriteFileBytes(native, copy + c.Appended);
        });
        EXPECT_EQ(copy, c.Copy) << c.Original;
        EXPECT_EQ(changed, !c.Appended.empty()) << c.Original;
        EXPECT_EQ(ReadFileBytes(path), c.Saved) << c.Original;
        unlink(path);
    }
}

}  // namespace
}  // namespace kestrova::host
