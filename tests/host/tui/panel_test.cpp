// How a panel lists its items: their order and the columns they fill.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "host/panel_sort.h"
#include "host/tui/panel_layout.h"

namespace kestrova::host::tui {
namespace {

std::string Describe(const std::vector<Column>& columns) {
    std::string text;
    for (const Column& column : columns) {
        if (!text.empty()) text += ' ';
        text += column.Type;
        if (column.CustomIndex >= 0) text += std::to_string(column.CustomIndex);
        text += ":" + std::to_string(column.X) + "+" + std::to_string(column.Width);
    }
    return text;
}

TEST(LayoutColumns, PlacesModeColumnsAcrossThePanel) {
    // expected: "type:x+width" per column.
    for (auto [types, widths, innerWidth, expected] : {
             // Fixed widths keep theirs, the one flexible column the rest (separators count).
             std::tuple{"N,S", "0,10", 38, "N:0+27 S:28+10"},
             // Dates and times take their natural width.
             {"N,S,D,T", "0,10,0,0", 39, "N:0+13 S:14+10 D:25+8 T:34+5"},
             // Two flexible columns share what is left; the odd cell goes to the last one.
             {"N,Z", "0,0", 20, "N:0+9 Z:10+10"},
             // Custom columns and a percentage of the panel.
             {"C0,N,C2", "25%,0,6", 40, "C0:0+10 N:11+22 C2:34+6"},
             // Columns that do not fit are dropped from the right.
             {"N,C0,C1", "0,20,20", 30, "N:0+9 C0:10+20"},
             // Unknown types are skipped, a missing width is flexible.
             {"N,X,S", "0,5", 20, "N:0+9 S:10+10"},
             {"", "", 20, ""},
         })
        EXPECT_EQ(Describe(LayoutColumns(types, widths, {}, innerWidth)), expected)
            << types << " / " << widths;
}

PluginPanelItem Item(const char* name, uint64_t size, uint32_t attributes = 0) {
    PluginPanelItem item{};
    std::strcpy(item.FindData.cFileName, name);
    item.FindData.nFileSizeLow = static_cast<uint32_t>(size);
    item.FindData.nFileSizeHigh = static_cast<uint32_t>(size >> 32);
    item.FindData.dwFileAttributes = attributes;
    return item;
}

TEST(CellText, FitsEachKindOfColumnToItsWidth) {
    char subject[] = "Re: a subject";
    char* custom[] = {subject};
    PluginPanelItem article = Item("a-rather-long-name.txt", 5000000000ULL);
    article.CustomColumnData = custom;
    article.CustomColumnNumber = 1;
    for (auto [item, column, expected] : {
             std::tuple{article, Column{'N', -1, 0, 8, ""}, "a-rathe}"},
             {Item("short", 1), {'N', -1, 0, 8, ""}, "short   "},
             {article, {'S', -1, 0, 10, ""}, "5000000000"},
             {article, {'S', -1, 0, 8, ""}, "4882812K"},
             {Item("dir", 0, FILE_ATTRIBUTE_DIRECTORY), {'S', -1, 0, 8, ""}, "  Folder"},
             {Item("..", 0, FILE_ATTRIBUTE_DIRECTORY), {'S', -1, 0, 8, ""}, "      Up"},
             {article, {'C', 0, 0, 6, ""}, "Re: a "},
             {article, {'C', 3, 0, 4, ""}, "    "},       // a column the item lacks
             {article, {'D', -1, 0, 8, ""}, "        "},  // no time
         })
        EXPECT_EQ(CellText(item, column), expected) << expected;
}

std::string Sorted(int mode, bool descending) {
    PanelItemList items;
    for (auto [name, size, time] :
         {std::tuple{"..", 0u, 0u}, {"beta", 30, 2}, {"Alpha", 10, 3}, {"gamma", 20, 1}}) {
        FAR_FIND_DATA data{};
        data.nFileSizeLow = size;
        data.ftLastWriteTime.dwHighDateTime = time;  // the high half decides
        items.Add(data, name);
    }
    SortPanelItems(items, mode, descending);
    std::string names;
    for (size_t i = 0; i < items.Size(); ++i) names += ItemName(items[i]) + " ";
    return names;
}

TEST(PanelSort, OrdersByTheModulesModeWithDotDotFirst) {
    for (auto [mode, descending, expected] : {
             std::tuple{SM_NAME, false, ".. Alpha beta gamma "},
             {SM_NAME, true, ".. gamma beta Alpha "},
             {SM_SIZE, false, ".. Alpha gamma beta "},
             {SM_MTIME, true, ".. Alpha beta gamma "},
             {SM_MTIME, false, ".. gamma beta Alpha "},
             {SM_UNSORTED, true, ".. beta Alpha gamma "},
             {SM_DEFAULT, false, ".. beta Alpha gamma "},
         })
        EXPECT_EQ(Sorted(mode, descending), expected) << mode << " " << descending;
}

}  // namespace
}  // namespace kestrova::host::tui
