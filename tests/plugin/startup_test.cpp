#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "hostapi/plugin_api.h"
#include "platform/fresh_store.h"
#include "store/reg_ini_file.h"
#include "ui/fake_host.h"
#include "ui/host_services.h"
#include "ui/module_state.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

using testing::FakeHost;

// A failure box about the settings store names its file.
bool NamesTheStoreFile(const std::vector<std::string>& lines) {
    return std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("registry.db") != std::string::npos;
    });
}

int CmpNameOfHost(const char*, const char*, int) {
    return 1;
}
int UpperOfHost(int ch) {
    return ch;
}

class StartupTest : public ::testing::Test {
  protected:
    StartupTest() {
        OptionsKey.clear();
        FrameworkKey.clear();
        Options = TPluginOptions{};
        host.standardFunctions.CmpName = &CmpNameOfHost;
        host.standardFunctions.LUpper = &UpperOfHost;
    }
    ~StartupTest() override { StartupInfo = PluginStartupInfo{}; }

    // What start-up took from the host's table cut after size bytes (0: whole, -1: none,
    // INT_MAX: a larger table): the module number and the Dialog, Message, GetMsg and AdvControl
    // slots, the standard functions as its own copy; then whether the module came alive: its
    // keys, its options and its answer to GetPluginInfo.
    std::string Started(int size) {
        OptionsKey.clear();
        Options.DiskMenuNumber = -99;
        struct {
            PluginStartupInfo info;
            unsigned char beyond[64];
        } table;
        table.info = host.Info();
        std::memset(table.beyond, 0xAB, sizeof table.beyond);
        if (size > 0) table.info.StructSize = size == INT_MAX ? sizeof table : size;
        SetStartupInfo(size < 0 ? nullptr : &table.info);
        PluginInfo info;
        std::memset(&info, 0xAB, sizeof info);
        const PluginInfo untouched = info;
        GetPluginInfo(&info);
        std::string shown;
        for (bool taken : {StartupInfo.ModuleNumber == FakeHost::kModuleNumber,
                           StartupInfo.Dialog != nullptr, StartupInfo.Message != nullptr,
                           StartupInfo.GetMsg != nullptr, StartupInfo.AdvControl != nullptr,
                           StartupInfo.FSF == &StandardFunctions && StandardFunctions.LUpper,
                           !OptionsKey.empty(), Options.DiskMenuNumber != -99,
                           std::memcmp(&info, &untouched, sizeof info) != 0})
            shown += taken ? '+' : '-';
        return shown;
    }

    FreshStore store;
    FakeHost host;
};

// A size ending inside a field drops that field; a host older than the table of 324 bytes, or
// none, gets a module that does nothing.
TEST_F(StartupTest, WhatAHostTableOfEachSizeGives) {
    static_assert(offsetof(PluginStartupInfo, AdvControl) >= 324,
                  "a table of 324 bytes must end before AdvControl");
    const int message = offsetof(PluginStartupInfo, Message);
    for (const auto& [size, taken] : {std::pair{message, "++-------"},
                                      {message + 4, "++-------"},
                                      {323, "++++-----"},
                                      {324, "++++--+++"},
                                      {0, "+++++++++"},
                                      {INT_MAX, "+++++++++"},
                                      {-1, "---------"}})
        EXPECT_EQ(Started(size), taken) << size;
}

// Options that cannot be loaded keep their defaults, and the user is told which file failed. Save
// in a dialog over that store says why nothing was kept, and the menu comes back (the menu itself
// and the About entry are checked by the configure_menu scripts).
TEST_F(StartupTest, AStoreThatCannotBeOpenedOrWrittenIsSaidOnTheScreen) {
    // A folder where the database belongs: refused whoever runs the test (root ignores modes).
    ASSERT_EQ(mkdir((store.Folder() + "/registry.db").c_str(), 0700), 0);
    platform::ResetSettingsStore();
    host.messageAnswers = {0};
    const PluginStartupInfo info = host.Info();
    SetStartupInfo(&info);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(NamesTheStoreFile(host.messages[0].items));
    for (const auto& [entry, save] : {std::pair{1, 16}, {2, 16}}) {  // connection, default account
        SCOPED_TRACE(entry);
        host.messages.clear();
        host.menus.clear();
        host.menuAnswers = {entry, -1};
        host.dialogAnswers = {FakeHost::Close(save)};
        host.messageAnswers = {0};
        EXPECT_EQ(Configure(0), 1);
        EXPECT_EQ(host.menus.size(), 2u);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_TRUE(NamesTheStoreFile(host.messages[0].items));
    }
}

TEST_F(StartupTest, StandardFunctionsAsFarAsTheHostDeclaresThem) {
    host.standardFunctions.StructSize = offsetof(FarStandardFunctions, LUpper);
    const PluginStartupInfo info = host.Info();
    SetStartupInfo(&info);
    EXPECT_EQ(StandardFunctions.CmpName, &CmpNameOfHost);
    EXPECT_EQ(StandardFunctions.LUpper, nullptr);
}

TEST_F(StartupTest, KeysJoinTheRootKeyWithOneBackslashAndEndWithOne) {
    for (const char* root : {"Software\\Far\\Plugins", "Software\\Far\\Plugins\\"}) {
        PluginStartupInfo info = host.Info();
        info.RootKey = root;
        SetStartupInfo(&info);
        EXPECT_EQ(OptionsKey, "Software\\Far\\Plugins\\Kestrova\\") << root;
        EXPECT_EQ(FrameworkKey, "Software\\Far\\Plugins\\Tarnwick\\") << root;
    }
}

// The plugins and settings menus show in the host scripts.
TEST_F(StartupTest, TheDisksMenuOnlyWhenAsked) {
    host.texts[32] = "News";
    const PluginStartupInfo startup = host.Info();
    SetStartupInfo(&startup);
    Options.AddToDisksMenu = 1;
    Options.DiskMenuNumber = 4;
    PluginInfo info{};
    info.Flags = PF_PRELOAD;
    GetPluginInfo(&info);
    EXPECT_EQ(info.Flags, PF_PRELOAD);
    ASSERT_EQ(info.DiskMenuStringsNumber, 1);
    EXPECT_STREQ(info.DiskMenuStrings[0], "News");
    EXPECT_EQ(info.DiskMenuNumbers[0], 4);
    EXPECT_STREQ(info.CommandPrefix, "news:nntps:snews");

    Options.AddToDisksMenu = 0;
    info.DiskMenuStringsNumber = 3;
    GetPluginInfo(&info);
    EXPECT_EQ(info.DiskMenuStringsNumber, 3);  // the host's own value stays
}

}  // namespace
}  // namespace kestrova
