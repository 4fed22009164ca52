#include "host/key_names.h"

#include <gtest/gtest.h>

namespace kestrova::host {
namespace {

// Names that parse are read by every script test, other spellings by the fake panel actions.
TEST(KeyNames, RejectsUnknownNames) {
    for (const char* text : {"", "F0", "F13", "Hyper+F1", "Ctrl+", "Ctrl+Foo", "AB", "F1x"})
        EXPECT_FALSE(ParseKey(text)) << text;
}

}  // namespace
}  // namespace kestrova::host
