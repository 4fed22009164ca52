#include "host/char_tables.h"

#include <gtest/gtest.h>

#include "platform/scoped_environment.h"

namespace kestrova::host {
namespace {

CharTableSet Table(int n) {
    CharTableSet table{};
    EXPECT_TRUE(FillCharTableSet(n, table)) << n;
    return table;
}

// The Cyrillic small a, capital A and small yo in each table's set.
struct Letters {
    int Table;
    unsigned char SmallA, CapitalA, SmallYo;
};
constexpr Letters kLetters[] = {
    {0, 0xC1, 0xE1, 0xA3}, {1, 0xE0, 0xC0, 0xB8}, {2, 0xD0, 0xB0, 0xF1}};

// Under the default UTF-8 OEM code page only ASCII has a single byte on the OEM side: the tables
// map it to itself and every other byte to '?' (the module converts text through iconv instead);
// the case of the set's own bytes still holds. The tables' names are checked by a host script.
TEST(CharTables, UnderUtf8OnlyAsciiMapsAndTheSetsKeepTheirCase) {
    ScopedEnvironment environment;
    environment.Set("KESTROVA_OEMCP", nullptr);
    for (const Letters& c : kLetters) {
        const CharTableSet table = Table(c.Table);
        for (int b = 0; b < 256; ++b) {
            const int expected = b < 0x80 ? b : '?';
            ASSERT_EQ(table.DecodeTable[b], expected) << c.Table << " byte " << b;
            ASSERT_EQ(table.EncodeTable[b], expected) << c.Table << " byte " << b;
        }
        EXPECT_EQ(table.UpperTable[c.SmallA], c.CapitalA) << c.Table;
        EXPECT_EQ(table.LowerTable[c.CapitalA], c.SmallA) << c.Table;
        EXPECT_EQ(table.UpperTable['a'], 'A') << c.Table;
    }
}

// Under the legacy OEM code page 866 the tables map Cyrillic both ways: small a is 0xA0, capital
// A 0x80, small yo 0xF1 there.
TEST(CharTables, UnderCp866CyrillicMapsBothWays) {
    ScopedEnvironment environment;
    environment.Set("KESTROVA_OEMCP", "866");
    for (const Letters& c : kLetters) {
        const CharTableSet table = Table(c.Table);
        EXPECT_EQ(table.DecodeTable[c.SmallA], 0xA0) << c.Table;
        EXPECT_EQ(table.DecodeTable[c.CapitalA], 0x80) << c.Table;
        EXPECT_EQ(table.DecodeTable[c.SmallYo], 0xF1) << c.Table;
        EXPECT_EQ(table.EncodeTable[0xA0], c.SmallA) << c.Table;
        for (int b = 0; b < 0x80; ++b) ASSERT_EQ(table.DecodeTable[b], b);
        // Every Cyrillic letter of the set survives the way to OEM and back.
        for (int b = 0x80; b < 256; ++b)
            if (table.DecodeTable[b] != '?') {
                EXPECT_EQ(table.EncodeTable[table.DecodeTable[b]], b) << c.Table << " byte " << b;
            }
    }
}

}  // namespace
}  // namespace kestrova::host
