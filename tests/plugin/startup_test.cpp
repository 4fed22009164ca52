#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

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
    EXPECT_EQ(StartupInfo.StructSize, static_cast<int>(sizeof larger));
    EXPECT_NE(StartupInfo.AdvControl, nullptr);
    EXPECT_EQ(StartupInfo.FSF, &StandardFunctions);
    EXPECT_EQ(StandardFunctions.CmpName, &CmpNameOfHost);
    EXPECT_EQ(StandardFunctions.LUpper, &UpperOfHost);
}

TEST_F(StartupTest, StandardFunctionsCopyOnlyWhatTheirSizeDeclares) {
    host.standardFunctions.StructSize = offsetof(FarStandardFunctions, LUpper);
    const PluginStartupInfo info = host.Info();
    SetStartupInfo(&info);
    EXPECT_EQ(StartupInfo.FSF, &StandardFunctions);
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

TEST_F(StartupTest, OptionsAreLoadedFromTheOptionsKey) {
    TRegIniFile("Software\\Far\\Plugins\\Kestrova")
        .WriteInteger("INTERFACE", "Disk menu number", 7);
    const PluginStartupInfo info = host.Info();
    SetStartupInfo(&info);
    EXPECT_EQ(Options.DiskMenuNumber, 7);
    EXPECT_EQ(Options.AddToDisksMenu, 1);  // the default of a value that is not stored
}

// ---- Host version threshold -----------------------------------------------------------------

struct ThresholdCase {
    const char* name;
    int structSize;  // 0: the full table with AdvControl
    bool active;
};

class ThresholdTest : public StartupTest, public ::testing::WithParamInterface<ThresholdCase> {};

TEST_P(ThresholdTest, OldHostGetsAnInertModule) {
    const ThresholdCase& c = GetParam();
    static_assert(offsetof(PluginStartupInfo, AdvControl) >= 324,
                  "a table of 324 bytes must end before AdvControl");
    const PluginStartupInfo info = c.structSize ? Truncated(c.structSize) : host.Info();
    Options.DiskMenuNumber = -99;
    SetStartupInfo(&info);
    EXPECT_EQ(!OptionsKey.empty(), c.active);
    EXPECT_EQ(Options.DiskMenuNumber != -99, c.active) << "options loaded";

    PluginInfo pluginInfo;
    std::memset(&pluginInfo, 0xAB, sizeof pluginInfo);
    PluginInfo untouched = pluginInfo;
    GetPluginInfo(&pluginInfo);
    EXPECT_EQ(std::memcmp(&pluginInfo, &untouched, sizeof pluginInfo) != 0, c.active);
}

INSTANTIATE_TEST_SUITE_P(Cases, ThresholdTest,
                         ::testing::Values(ThresholdCase{"Size323", 323, false},
                                           ThresholdCase{"Size324", 324, true},
                                           ThresholdCase{"WithAdvControl", 0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupTest, NoTableLeavesTheModuleInert) {
    const PluginStartupInfo info = host.Info();
    SetStartupInfo(&info);
    SetStartupInfo(nullptr);
    EXPECT_EQ(StartupInfo.StructSize, 0);
    PluginInfo pluginInfo{};
    GetPluginInfo(&pluginInfo);
    EXPECT_EQ(pluginInfo.StructSize, 0);
}

// ---- Plugin information ---------------------------------------------------------------------

class PluginInfoTest : public StartupTest {
  protected:
    PluginInfoTest() {
        host.texts[32] = "News";
        const PluginStartupInfo info = host.Info();
        SetStartupInfo(&info);
    }
};

TEST_F(PluginInfoTest, OffersOneMenuStringEverywhere) {
    Options.AddToDisksMenu = 1;
    Options.DiskMenuNumber = 4;
    PluginInfo info{};
    info.Flags = PF_PRELOAD;
    GetPluginInfo(&info);
    EXPECT_EQ(info.StructSize, static_cast<int>(sizeof info));
    EXPECT_EQ(info.Flags, PF_PRELOAD);
    ASSERT_EQ(info.DiskMenuStringsNumber, 1);
    EXPECT_STREQ(info.DiskMenuStrings[0], "News");
    EXPECT_EQ(info.DiskMenuNumbers[0], 4);
    ASSERT_EQ(info.PluginMenuStringsNumber, 1);
    EXPECT_STREQ(info.PluginMenuStrings[0], "News");
    ASSERT_EQ(info.PluginConfigStringsNumber, 1);
    EXPECT_STREQ(info.PluginConfigStrings[0], "News");
    EXPECT_STREQ(info.CommandPrefix, "news:nntps:snews");
}

TEST_F(PluginInfoTest, NotInTheDisksMenuWhenSwitchedOff) {
    Options.AddToDisksMenu = 0;
    for (int hostValue : {0, 3}) {
        PluginInfo info{};
        info.DiskMenuStringsNumber = hostValue;
        GetPluginInfo(&info);
        EXPECT_EQ(info.DiskMenuStringsNumber, hostValue);
        EXPECT_EQ(info.PluginMenuStringsNumber, 1);
        EXPECT_EQ(info.PluginConfigStringsNumber, 1);
    }
}

}  // namespace
}  // namespace kestrova
