#include "ui/composition.h"

#include <gtest/gtest.h>

#include <string>

#include "module_settings.h"

namespace kestrova {
namespace {

using testing::FakeHost;

// The composed headers and bodies show in the news_post_* script transcripts, which hide the
// date; here its weekday, and the outcomes that compose nothing.
TEST(Composition, DateHeaderLine) {
    EXPECT_EQ(DateHeaderLine({2026, 12, 0, 6, 4, 9, 3, 0}),
              "Date: Sunday, 06 Dec 2026 04:09:03 GMT");
}

TEST(Composition, PostAsIsCancelAndEscWriteNoHeadersAndKeepTheSubject) {
    testing::ModuleSettings settings;
    for (auto [closing, outcome] :
         {std::pair{19, kPostAsIs}, {21, kPostCancel}, {-1, kPostCancel}}) {
        settings.host.dialogAnswers.push_back(FakeHost::Close(closing, {{5, "changed"}}));
        TPostInfo post;
        post.Subject = "kept";
        TMemoryStream headers;
        EXPECT_EQ(PostDialog("g", TStringList(), post, headers, {}), outcome);
        EXPECT_EQ(headers.Size(), 0);
        EXPECT_EQ(post.Subject, "kept");
    }
}

}  // namespace
}  // namespace kestrova
