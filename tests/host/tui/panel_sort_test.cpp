#include "host/panel_sort.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrova::host {
namespace {

struct Item {
    const char* name;
    uint32_t size;
    uint32_t time;
};

std::string Sorted(int mode, bool descending) {
    PanelItemList items;
    for (const Item& item :
         {Item{"..", 0, 0}, Item{"beta", 30, 2}, Item{"Alpha", 10, 3}, Item{"gamma", 20, 1}}) {
        FAR_FIND_DATA data{};
        data.nFileSizeLow = item.size;
        data.ftLastWriteTime.dwHighDateTime = item.time;  // the high half decides
        items.Add(data, item.name);
    }
    SortPanelItems(items, mode, descending);
    std::string names;
    for (size_t i = 0; i < items.Size(); ++i) names += ItemName(items[i]) + " ";
    return names;
}

TEST(PanelSort, OrdersByTheModulesModeWithDotDotFirst) {
    const struct {
        int mode;
        bool descending;
        const char* expected;
    } cases[] = {
        {SM_NAME, false, ".. Alpha beta gamma "},    {SM_NAME, true, ".. gamma beta Alpha "},
        {SM_SIZE, false, ".. Alpha gamma beta "},    {SM_MTIME, true, ".. Alpha beta gamma "},
        {SM_MTIME, false, ".. gamma beta Alpha "},   {SM_UNSORTED, true, ".. beta Alpha gamma "},
        {SM_DEFAULT, false, ".. beta Alpha gamma "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Sorted(c.mode, c.descending), c.expected) << c.mode << " " << c.descending;
}

}  // namespace
}  // namespace kestrova::host
