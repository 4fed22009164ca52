#include "accounts/registry_manager.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "platform/clock.h"
#include "registry_manager_fixture.h"

namespace kestrova {
namespace {

using testing::RegistryPanelTest;

class RegistryManagerTest : public RegistryPanelTest {};

TEST_F(RegistryManagerTest, FolderMarkAndTimesDecideHowASubkeyLists) {
    auto manager = Open();
    const auto empty = List(*manager);
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].userData, kPlaceholderItem);
    EXPECT_FALSE(KeyExists(StoreKey("\\<26>")));

    TRegIniFile store(StoreKey());
    const FILETIME created = platform::U64ToFileTime(130000000000000000ull);
    store.WriteString("a-no-mark", "Url", "host");
    store.WriteString("b-zero", "Folder", "0");
    store.WriteString("c-one", "Folder", "1");
    store.WriteString("d-seven", "Folder", "7");
    store.WriteTime("e-timed", "Create time", created);
    const uint64_t before = Ticks(platform::NowFileTime());
    const auto listed = List(*manager);
    std::string shown;  // name, A or D for a file or a folder, the UserData
    for (const auto& item : listed) {
        const char* kind = item.attributes == FILE_ATTRIBUTE_DIRECTORY ? " D"
                           : item.attributes == FILE_ATTRIBUTE_ARCHIVE ? " A"
                                                                       : " ?";
        shown += item.name + kind + std::to_string(item.userData) + ",";
    }
    EXPECT_EQ(shown, "a-no-mark A0,b-zero A0,c-one D0,d-seven D0,e-timed A0,");
    EXPECT_EQ(listed[0].description, "host");
    EXPECT_GE(Ticks(listed[0].created), before);
    EXPECT_EQ(Ticks(listed[4].created), Ticks(created));
}

TEST_F(RegistryManagerTest, NestedFoldersAreMarkedEachAndDeletedWithTheirContents) {
    auto manager = Open();
    manager->MakeDirectory("a\\b\\c");
    for (const char* key : {"\\a", "\\a\\b", "\\a\\b\\c"}) {
        EXPECT_EQ(TRegIniFile(StoreKey()).ReadString(key + 1, "Folder", ""), "1") << key;
    }
    TRegIniFile(StoreKey("\\a\\b")).WriteString("srv", "Url", "srv");
    manager->DeleteItem("a\\b\\c");
    EXPECT_FALSE(KeyExists(StoreKey("\\a\\b\\c")));
    EXPECT_TRUE(KeyExists(StoreKey("\\a\\b")));
    manager->DeleteItem("a");
    EXPECT_FALSE(KeyExists(StoreKey("\\a")));
}

TEST_F(RegistryManagerTest, EnteringAMissingFolderFailsAndChangesNothing) {
    host.texts[22] = "Folder '%s' does not exist";
    auto manager = Open();
    try {
        manager->SetDirectory("missing");
        FAIL() << "no error";
    } catch (const ERegistryError& e) {
        EXPECT_EQ(e.Message, "Folder 'missing' does not exist");
        EXPECT_EQ(e.ProcName, "SetDirectory");
        EXPECT_EQ(e.Code, kItemFailure);
    }
    EXPECT_EQ(manager->Path, "\\");
}

TEST_F(RegistryManagerTest, DotDotAtTheTopShowsTheStoreChoiceWithTheCursorOnTheOldStore) {
    Options.ShowPrivateHosts = 1;
    SetPanel({{"..", 0}, {"<27>", kPluginStore}, {"<28>", kPrivateStore}});
    for (int store : {kPluginStore, kPrivateStore}) {
        SCOPED_TRACE(store);
        controls.clear();
        auto manager = Open();
        manager->Store = store;
        manager->SetDirectory("..");
        EXPECT_EQ(manager->Store, kStoreChoice);
        ASSERT_EQ(controls.size(), 3u);
        EXPECT_EQ(controls[2].command, FCTL_REDRAWPANEL);
        EXPECT_EQ(controls[2].currentItem, store + 1);
    }
}

TEST_F(RegistryManagerTest, ARememberedPathThatIsGoneOpensTheTop) {
    Options.ShowPrivateHosts = 1;
    TRegIniFile(OptionsKey).WriteString("", "Registry state", "1");
    TRegIniFile(OptionsKey).WriteString("", "Registry path", "\\Gone");
    auto manager = Open();
    EXPECT_EQ(manager->Store, kPrivateStore);
    EXPECT_EQ(manager->Path, "\\");
}

// Key mapping of the base class: store, the current item, key and modifiers -> action. Editing,
// making and copying an account show in the registry scripts.
TEST_F(RegistryManagerTest, KeyMap) {
    enum Item { Account, Folder, Placeholder, PastTheEnd };
    const struct {
        int store;
        Item item;
        int key;
        unsigned control;
        int action;
    } cases[] = {
        {kPluginStore, Account, VK_F6, PKF_SHIFT, kActionEditItem},
        {kPluginStore, Account, VK_RETURN, 0, kActionOpenItem},
        {kPluginStore, Account, VK_F5, 0, kActionNone},
        {kPluginStore, Account, VK_F4, PKF_CONTROL, kActionNone},
        {kPluginStore, Account, VK_RETURN, PKF_SHIFT, kActionNone},
        {kPluginStore, Folder, VK_F4, 0, kActionNewItem},
        {kPluginStore, Folder, VK_F6, PKF_SHIFT, kActionNewItem},
        {kPluginStore, Folder, VK_RETURN, 0, kActionNone},
        {kPluginStore, Placeholder, VK_F4, 0, kActionNewItem},
        {kPluginStore, Placeholder, VK_RETURN, 0, kActionNone},
        {kPluginStore, PastTheEnd, VK_F4, 0, kActionNone},
        {kStoreChoice, Folder, VK_F4, PKF_SHIFT, kActionSwallow},
        {kStoreChoice, Folder, VK_F5, PKF_SHIFT, kActionSwallow},
        {kStoreChoice, Folder, VK_F6, 0, kActionSwallow},
        {kStoreChoice, Folder, VK_F8, PKF_SHIFT, kActionSwallow},
        {kStoreChoice, Folder, VK_F5, 0, kActionNone},
        {kStoreChoice, Folder, VK_F8, PKF_ALT, kActionNone},
        {kStoreChoice, Folder, VK_RETURN, 0, kActionNone},
    };
    auto manager = Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "store " << c.store << " item " << c.item << " key "
                                          << c.key << " control " << c.control);
        SetPanel({{".."},
                  {"x", c.item == Placeholder ? kPlaceholderItem : 0,
                   c.item == Folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE}});
        TKeyContext context = KeyContext(1);
        if (c.item == PastTheEnd) context.Info.ItemsNumber = 1;
        manager->Store = c.store;
        int action = -1;
        EXPECT_FALSE(manager->TRegistryManager::ProcessKey(c.key, c.control, context, action));
        EXPECT_EQ(action, c.action);
    }
}

}  // namespace
}  // namespace kestrova
