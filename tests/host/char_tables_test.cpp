#include "host/char_tables.h"

#include <gtest/gtest.h>

namespace kestrova::host {
namespace {

CharTableSet Table(int n) {
    CharTableSet table{};
    EXPECT_TRUE(FillCharTableSet(n, table)) << n;
    return table;
}

// With the default OEM code page 866: the Cyrillic small a is 0xA0, capital A 0x80, yo 0xF1.
// The tables' names and their number are checked by the character tables script.
TEST(CharTables, ConvertCyrillicBothWays) {
    struct Case {
        int Table;
        unsigned char SmallA, CapitalA, SmallYo;
    } cases[] = {{0, 0xC1, 0xE1, 0xA3}, {1, 0xE0, 0xC0, 0xB8}, {2, 0xD0, 0xB0, 0xF1}};
    for (const Case& c : cases) {
        const CharTableSet table = Table(c.Table);
        EXPECT_EQ(table.DecodeTable[c.SmallA], 0xA0) << c.Table;
        EXPECT_EQ(table.DecodeTable[c.CapitalA], 0x80) << c.Table;
        EXPECT_EQ(table.DecodeTable[c.SmallYo], 0xF1) << c.Table;
        EXPECT_EQ(table.EncodeTable[0xA0], c.SmallA) << c.Table;
        EXPECT_EQ(table.UpperTable[c.SmallA], c.CapitalA) << c.Table;
        EXPECT_EQ(table.LowerTable[c.CapitalA], c.SmallA) << c.Table;
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
