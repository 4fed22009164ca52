#include "common/news_url.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

using Kind = TNewsTarget::Kind;

TEST(NewsUrlTest, PathNamesAGroupOrAnArticle) {
    struct Case {
        const char* path;
        Kind what;
        const char* name;
    };
    const Case cases[] = {
        {"/comp.lang.c", Kind::Group, "comp.lang.c"},
        {"comp.lang.c", Kind::Group, "comp.lang.c"},
        {"/id.1@example.org", Kind::Article, "<id.1@example.org>"},
        {"/<id.1@example.org>", Kind::Article, "<id.1@example.org>"},
        {"", Kind::None, ""},
        {"/", Kind::None, ""},
        {"/a b", Kind::None, ""},
        {"/a/b", Kind::None, ""},
        {"/<>@x", Kind::None, ""},
        {"/a\r\nQUIT", Kind::None, ""},
    };
    for (const Case& c : cases) {
        const TNewsTarget target = NewsUrlTarget(c.path);
        EXPECT_EQ(target.What, c.what) << c.path;
        EXPECT_EQ(target.Name, c.name) << c.path;
    }
}

TEST(NewsUrlTest, ServerIsCutOffBeforeTheIdentifiersAt) {
    struct Case {
        const char* text;
        const char* server;
        const char* path;
    };
    const Case cases[] = {
        {"//news.example.org:1120/id@host", "news://news.example.org:1120", "/id@host"},
        {"//user:pw@news.example.org/group", "news://user:pw@news.example.org", "/group"},
        {"//news.example.org", "news://news.example.org", ""},
        {"<id@host>", "", "<id@host>"},
        {"news://news.example.org/group", "news://news.example.org", "/group"},
        {"NNTPS://news.example.org:563/group", "NNTPS://news.example.org:563", "/group"},
        {"snews://news.example.org", "snews://news.example.org", ""},
        {"news:<id@host>", "", "<id@host>"},
    };
    for (const Case& c : cases) {
        std::string server, path;
        SplitNewsUrl(c.text, server, path);
        EXPECT_EQ(server, c.server) << c.text;
        EXPECT_EQ(path, c.path) << c.text;
    }
}

}  // namespace
}  // namespace kestrova
