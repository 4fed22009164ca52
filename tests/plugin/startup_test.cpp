#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <stdexcept>

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

    // A host table cut after size bytes, as an older host would pass it.
    PluginStartupInfo Truncated(size_t size) {
        PluginStartupInfo info = host.Info();
        info.StructSize = static_cast<int>(size);
        return info;
    }

    FreshStore store;
    FakeHost host;
};

TEST_F(StartupTest, ShortTableCopiesOnlyTheFieldsTheHostPassedWhole) {
    for (size_t beyond : {0, 4}) {  // a size ending inside a field drops that field
        const PluginStartupInfo info = Truncated(offsetof(PluginStartupInfo, Message) + beyond);
        SetStartupInfo(&info);
        EXPECT_EQ(StartupInfo.ModuleNumber, FakeHost::kModuleNumber);
        EXPECT_NE(StartupInfo.Dialog, nullptr);
        EXPECT_EQ(StartupInfo.Message, nullptr);
        EXPECT_EQ(StartupInfo.GetMsg, nullptr);
        EXPECT_EQ(StartupInfo.FSF, nullptr);
    }
}

TEST_F(StartupTest, OversizedTableCopiesOurRecordAndPointsFsfAtTheOwnCopy) {
    struct {
        PluginStartupInfo info;
        unsigned char beyond[64];
    } larger;
    larger.info = host.Info();
    larger.info.StructSize = sizeof larger;
    std::memset(larger.beyond, 0xAB, sizeof larger.beyond);
    SetStartupInfo(&larger.info);
    EXPECT_NE(StartupInfo.AdvControl, nullptr);
    EXPECT_EQ(StartupInfo.FSF, &StandardFunctions);
    EXPECT_EQ(StandardFunctions.LUpper, &UpperOfHost);

    host.standardFunctions.StructSize = offsetof(FarStandardFunctions, LUpper);
    const PluginStartupInfo info = host.Info();
    SetStartupInfo(&info);
    EXPECT_EQ(StandardFunctions.CmpName, &CmpNameOfHost);
    EXPECT_EQ(StandardFunctions.LUpper, nullptr);  // past the size the host declared
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

// A host older than the table of 324 bytes, or none, gets a module that does nothing.
TEST_F(StartupTest, OldHostGetsAnInertModule) {
    static_assert(offsetof(PluginStartupInfo, AdvControl) >= 324,
                  "a table of 324 bytes must end before AdvControl");
    for (const auto& [size, active] :
         {std::pair{323, false}, {324, true}, {0, true}, {-1, false}}) {
        SCOPED_TRACE(size);
        OptionsKey.clear();
        Options.DiskMenuNumber = -99;
        const PluginStartupInfo info = size > 0 ? Truncated(size) : host.Info();
        SetStartupInfo(size < 0 ? nullptr : &info);
        EXPECT_EQ(!OptionsKey.empty(), active);
        EXPECT_EQ(Options.DiskMenuNumber != -99, active) << "options loaded";
        PluginInfo pluginInfo;
        std::memset(&pluginInfo, 0xAB, sizeof pluginInfo);
        PluginInfo untouched = pluginInfo;
        GetPluginInfo(&pluginInfo);
        EXPECT_EQ(std::memcmp(&pluginInfo, &untouched, sizeof pluginInfo) != 0, active);
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

// The menu itself and the About entry are checked by the configure_menu scripts.
using ConfigureTest = testing::HostTest;

TEST_F(ConfigureTest, FailureEndsTheMenuWithZero) {
    host.menuAnswers = {0, -1};
    host.dialogAnswers = {
        [](std::vector<FarDialogItem>&) -> int { throw std::runtime_error("store unavailable"); }};
    EXPECT_EQ(Configure(0), 0);
    EXPECT_EQ(host.menus.size(), 1u);
}

}  // namespace
}  // namespace kestrova
