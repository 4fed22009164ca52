// The thread view of a listing: References kept beside the index (and what a damaged block of
// them gives), the items put in thread order with indented names, and the selection of the
// current article's thread.
#include "news/thread_listing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "news/panel_item_list.h"
#include "ui/panel_items.h"

namespace kestrova::testing {
namespace {

using Texts = std::vector<std::string>;

// Article items named by subject with the Message-ID as description, after a ".." folder.
class Listing {
  public:
    explicit Listing(const std::vector<std::pair<std::string, std::string>>& articles) {
        TPanelItemList list;
        list.Add("..").FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        for (const auto& [subject, id] : articles) list.SetDescription(list.Add(subject), id);
        list.Release(items_, count_);
    }
    ~Listing() { FreePanelItems(items_, count_); }

    PluginPanelItem* Articles() { return items_ + 1; }
    int ArticleCount() const { return count_ - 1; }
    PanelInfo Info(int current) {
        PanelInfo info{};
        info.PanelItems = items_;
        info.ItemsNumber = count_;
        info.CurrentItem = current;
        return info;
    }
    Texts Names() const {
        Texts names;
        for (int i = 1; i < count_; ++i) names.push_back(items_[i].FindData.cFileName);
        return names;
    }
    Texts Selected() const {
        Texts names;
        for (int i = 0; i < count_; ++i) {
            if ((items_[i].Flags & PPIF_SELECTED) != 0) names.push_back(items_[i].Description);
        }
        return names;
    }

  private:
    PluginPanelItem* items_ = nullptr;
    int count_ = 0;
};

// The links as identifier -> References.
std::map<std::string, std::string> ById(const TThreadLinks& links) {
    std::map<std::string, std::string> byId;
    for (const TThreadLink& line : links.Lines()) {
        byId[std::string(line.MessageId)] = std::string(line.References);
    }
    return byId;
}

TThreadLinks LinksOf(const std::vector<std::pair<std::string, std::string>>& references) {
    TThreadLinks links;
    for (const auto& [id, refs] : references) links.Add(id, refs);
    return links;
}

TEST(ThreadLinksTest, KeepsEachArticleOnceAndSurvivesTheCache) {
    TThreadLinks links = LinksOf({{"<b@x>", "<a@x>"},
                                  {"<c@x>", "noise <a@x>\t<b@x>"},
                                  {"<b@x>", "<other@x>"},  // read again: kept as it was
                                  {"<d@x>", ""},
                                  {"", "<a@x>"},
                                  {"<bad id>", "<a@x>"}});
    TCache cache(TCache::kUnlimited, 0);
    links.Put(cache, "comp.test");
    TThreadLinks loaded;
    loaded.Load(cache, "comp.test");
    using Links = std::map<std::string, std::string>;
    EXPECT_EQ(ById(loaded), (Links{{"<b@x>", "<a@x>"}, {"<c@x>", "<a@x> <b@x>"}}));
    loaded.Add("<b@x>", "<other@x>");  // known from the loaded block too
    loaded.Add("<e@x>", "<c@x>");
    EXPECT_EQ(loaded.Lines().size(), 3u);
    EXPECT_EQ(ById(loaded).at("<b@x>"), "<a@x>");
    TThreadLinks other;
    other.Load(cache, "comp.other");
    EXPECT_TRUE(other.Empty());
    EXPECT_NE(ThreadLinksKey("comp.test"), "comp.test");
}

TEST(ThreadLinksTest, DamagedBlockGivesWhatItsLinesHold) {
    const std::pair<std::string, size_t> cases[] = {
        {"", 0},
        {"\n\n \n", 0},
        {"<a@x>\n", 0},
        {"<b@x> <a@x>", 1},  // no line end
        {" <b@x> <a@x>\n<c@x> \n", 1},
        {std::string("<b@x> <a\0@x>\n", 13), 1},
    };
    for (const auto& [block, lines] : cases) {
        TCache cache(TCache::kUnlimited, 0);
        cache.Put(ThreadLinksKey("g"), block.data(), false, static_cast<uint32_t>(block.size()));
        TThreadLinks links;
        links.Load(cache, "g");
        EXPECT_EQ(links.Lines().size(), lines) << block;
    }
}

TEST(ThreadListingTest, OrdersAndIndentsTheItems) {
    Listing listing({{"Topic", "<a@x>"},
                     {"Other", "<o@x>"},
                     {"Re: Topic", "<b@x>"},
                     {"Re: Topic", "<c@x>"},
                     {std::string(sizeof(FAR_FIND_DATA::cFileName) - 1, 'L'), "<l@x>"}});
    const TThreadLinks links = LinksOf(
        {{"<b@x>", "<a@x>"}, {"<c@x>", "<a@x> <b@x>"}, {"<l@x>", "<a@x> <b@x> <c@x> 4 5 6 7 8 9"}});
    OrderByThread(listing.Articles(), listing.ArticleCount(), links);
    const std::string longName = std::string(6, ' ') + std::string(253, 'L');
    EXPECT_EQ(listing.Names(), (Texts{"Topic", "  Re: Topic", "    Re: Topic", longName, "Other"}));
    EXPECT_EQ(NameOfPanelItem(listing.Names()[2]), "Re: Topic");
}

TEST(ThreadListingTest, DeepThreadsStopIndenting) {
    std::vector<std::pair<std::string, std::string>> articles;
    std::vector<std::pair<std::string, std::string>> references;
    for (int i = 0; i < kMaxThreadIndentLevels + 3; ++i) {
        articles.emplace_back("S", "<" + std::to_string(i) + ">");
        if (i > 0) references.emplace_back(articles.back().second, articles[i - 1].second);
    }
    Listing listing(articles);
    OrderByThread(listing.Articles(), listing.ArticleCount(), LinksOf(references));
    const std::string deepest(kThreadIndentWidth * kMaxThreadIndentLevels, ' ');
    EXPECT_EQ(listing.Names().back(), deepest + "S");
    EXPECT_EQ(listing.Names()[kMaxThreadIndentLevels], deepest + "S");
}

// The thread of the item under the cursor (panel index, ".." at 0), whatever the panel's order.
TEST(ThreadListingTest, SelectsTheCurrentThread) {
    const TThreadLinks links =
        LinksOf({{"<b@x>", "<a@x>"}, {"<d@x>", "<gone@x>"}, {"<e@x>", "<gone@x>"}});
    const struct {
        int Current;
        bool Selects;
        Texts Selected;
    } cases[] = {
        {1, true, {"<a@x>", "<b@x>", "<c@x>", "<f@x>"}},
        {3, true, {"<a@x>", "<b@x>", "<c@x>", "<f@x>"}},
        {4, true, {"<d@x>", "<e@x>", "<f@x>"}},
        {6, false, {"<f@x>"}},  // a folder
        {0, false, {"<f@x>"}},
        {7, false, {"<f@x>"}},
    };
    for (const auto& c : cases) {
        Listing listing({{"Re: Topic", "<b@x>"},
                         {"Topic", "<a@x>"},
                         {"  Re: Topic", "<c@x>"},
                         {"Re: Lost", "<d@x>"},
                         {"Re: Lost", "<e@x>"},
                         {"Re: Topic", "<f@x>"}});
        PluginPanelItem& folder = listing.Articles()[5];
        folder.FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        folder.Flags |= PPIF_SELECTED;  // other selections stay
        PanelInfo info = listing.Info(c.Current);
        EXPECT_EQ(SelectThread(info, links), c.Selects) << c.Current;
        Texts selected = listing.Selected();
        std::sort(selected.begin(), selected.end());
        EXPECT_EQ(selected, c.Selected) << c.Current;
    }
}

}  // namespace
}  // namespace kestrova::testing
