// Data an earlier version wrote in its single-byte CP866 text model (legacy_fixture/, made by
// make_fixture.sh with that version's build): its settings store, its cache of a group's index
// and an account file it exported open with the texts that version showed.
#include <gtest/gtest.h>

#include <filesystem>

#include "accounts/registry_manager_fixture.h"
#include "common/streams.h"
#include "news/article_header.h"
#include "news/cache.h"
#include "news/list_block.h"
#include "platform/settings_store.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

using testing::RegistryPanelTest;

std::filesystem::path Fixture() {
    const char* source = std::getenv("KESTROVA_SOURCE_DIR");
    return std::filesystem::path(source ? source : ".") / "tests" / "plugin" / "legacy_fixture";
}

class LegacyData : public RegistryPanelTest {
  protected:
    // The earlier version's store in place of the fresh one.
    void UseFixtureStore() {
        platform::ResetSettingsStore();
        std::filesystem::copy_file(Fixture() / "home" / "registry.db",
                                   settings.store.Folder() + "/registry.db",
                                   std::filesystem::copy_options::overwrite_existing);
        platform::ResetSettingsStore();
    }
};

TEST_F(LegacyData, TheSettingsStoreReadsWithItsTextsEveryTime) {
    UseFixtureStore();
    // Read twice: the store's texts are converted once, when it is first opened.
    for (int pass = 0; pass < 2; ++pass) {
        Options.Default = {};
        LoadDefaultOptions();
        EXPECT_EQ(Options.Default.FromName, "Иван Ёлкин") << pass;
        EXPECT_EQ(Options.Default.FromAddr, "ivan@example.org") << pass;
        EXPECT_EQ(Options.Default.Organization, "Рога и копыта №5") << pass;
        platform::ResetSettingsStore();
    }
}

TEST_F(LegacyData, TheCachedIndexListsWithTheSameTexts) {
    std::string bytes;
    for (const auto& entry : std::filesystem::directory_iterator(Fixture() / "home" / "Cache"))
        bytes = FileBytes(entry.path().string());
    TMemoryStream stream;
    stream.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.Seek(0, SeekOrigin::Beginning);
    TCache cache(100, 0);
    ASSERT_TRUE(cache.LoadFromStream(stream));
    std::vector<char> data;
    ASSERT_TRUE(cache.Get("test.legacy", data));
    TListBlock index(TArticleHeader::kSize);
    ASSERT_TRUE(index.Assign(std::move(data)));

    TPanelItemList items;
    TArticleTables tables(kNoSlot);
    for (uint32_t i = 0; i < index.Count(); ++i) AddArticleItem(items, index.Record(i), tables);
    PluginPanelItem* listed = nullptr;
    int count = 0;
    items.Release(listed, count);
    std::vector<std::string> shown;
    for (int i = 0; i < count; ++i) {
        std::string text = listed[i].FindData.cFileName;
        for (int c = 0; c < listed[i].CustomColumnNumber; ++c)
            text += std::string("|") + listed[i].CustomColumnData[c];
        shown.push_back(text);
    }
    FreePanelItems(listed, count);
    // As the earlier version listed them (made_fixture.txt), but for the author of the second:
    // that version dropped what followed an encoded word, the address here.
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "Привет из KOI8|Иван Петров <ivan@example.org>||||koi8-r",
                         "Ёлка №5|Ёлкин Пётр <petr@example.org>|||Рога и копыта|.default",
                         "Plain ASCII subject|Ann Author <ann@example.org>||||.default",
                     }));
}

TEST_F(LegacyData, AnExportedAccountFileImportsWithItsTexts) {
    auto manager = Open();
    TItemRecord item;
    ASSERT_TRUE(manager->LoadFromFile(Fixture().string() + "/", "account_file", item));
    EXPECT_EQ(item->Description, "Сервер №1");
    EXPECT_EQ(item->FromName, "Пётр Ёлкин");
    EXPECT_EQ(item->Organization, "Рога и копыта");
    EXPECT_EQ(item->Url.HostName, "news.example.com");
}

}  // namespace
}  // namespace kestrova
