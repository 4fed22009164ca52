#include "host/key_names.h"

#include <gtest/gtest.h>

#include "hostapi/plugin_api.h"

namespace kestrova::host {
namespace {

// The usual names are read by every script test; here the other spellings.
TEST(KeyNames, ParsesKeysWithModifiers) {
    struct Case {
        const char* Text;
        KeyPress Key;
        const char* Canonical;
    } cases[] = {
        {"f12", {VK_F12, 0}, "F12"},
        {"Shift-F4", {VK_F4, PKF_SHIFT}, "Shift+F4"},
        {"Ctrl+Shift+Ins", {VK_INSERT, PKF_CONTROL | PKF_SHIFT}, "Ctrl+Shift+Ins"},
        {"ctrl-alt-r", {'R', PKF_CONTROL | PKF_ALT}, "Ctrl+Alt+R"},
        {"Ctrl+1", {'1', PKF_CONTROL}, "Ctrl+1"},
        {"Ctrl+PgUp", {VK_PRIOR, PKF_CONTROL}, "Ctrl+PgUp"},
    };
    for (const Case& c : cases) {
        const std::optional<KeyPress> key = ParseKey(c.Text);
        ASSERT_TRUE(key) << c.Text;
        EXPECT_EQ(*key, c.Key) << c.Text;
        EXPECT_EQ(KeyName(*key), c.Canonical);
    }
}

TEST(KeyNames, RejectsUnknownNames) {
    for (const char* text : {"", "F0", "F13", "Hyper+F1", "Ctrl+", "Ctrl+Foo", "AB", "F1x"})
        EXPECT_FALSE(ParseKey(text)) << text;
}

}  // namespace
}  // namespace kestrova::host
