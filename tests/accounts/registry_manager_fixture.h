// A registry-mode panel for tests: module settings in a fresh store, a fake host whose panel
// control reports a scripted panel and records what the manager asks of it, and helpers to
// open a manager, list a level and look into the stored keys.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "accounts/news_registry_manager.h"
#include "platform/clock.h"
#include "store/reg_ini_file.h"
#include "ui/module_settings.h"
#include "ui/panel_items.h"

namespace kestrova::testing {

struct ListedItem {
    std::string name;
    uint32_t attributes;
    intptr_t userData;
    std::string description;
    FILETIME created;
};

class RegistryPanelTest : public ::testing::Test {
  protected:
    static inline const HANDLE kOwner = reinterpret_cast<HANDLE>(0x1234);

    RegistryPanelTest() {
        current_ = this;
        StartupInfo.Control = &PanelControl;
        KeyBarTitles = {};
    }
    ~RegistryPanelTest() override { current_ = nullptr; }

    std::unique_ptr<TNewsRegistryManager> Open() {
        auto manager = std::make_unique<TNewsRegistryManager>(kOwner, OptionsKey, PrivateRoot);
        manager->OnNotify = [this](int, intptr_t, intptr_t) {
            ++questions;
            return answer;
        };
        return manager;
    }

    static uint64_t Ticks(const FILETIME& time) { return platform::FileTimeToU64(time); }

    static std::vector<ListedItem> List(TRegistryManager& manager) {
        PluginPanelItem* items = nullptr;
        int count = 0;
        manager.ListItems(items, count);
        std::vector<ListedItem> listed;
        for (int i = 0; i < count; ++i) {
            const PluginPanelItem& item = items[i];
            listed.push_back({item.FindData.cFileName, item.FindData.dwFileAttributes,
                              item.UserData, item.Description ? item.Description : "",
                              item.FindData.ftCreationTime});
        }
        FreePanelItems(items, count);
        return listed;
    }

    // The key of the plugin store (HOSTS) joined with a store path.
    static std::string StoreKey(const std::string& path = "") {
        return OptionsKey + "HOSTS" + path;
    }
    static bool KeyExists(const std::string& key) {
        TRegistry registry;
        return registry.OpenKey(key, false);
    }

    // The panel that FCTL_GETPANELINFO reports, and a key context on it with the cursor on item
    // current: ".." then items with their UserData and attributes.
    struct PanelEntry {
        std::string name;
        intptr_t userData = 0;
        uint32_t attributes = FILE_ATTRIBUTE_ARCHIVE;
    };
    void SetPanel(const std::vector<PanelEntry>& entries) {
        panelItems.assign(entries.size(), PluginPanelItem{});
        for (size_t i = 0; i < entries.size(); ++i) {
            std::strcpy(panelItems[i].FindData.cFileName, entries[i].name.c_str());
            panelItems[i].UserData = entries[i].userData;
            panelItems[i].FindData.dwFileAttributes = entries[i].attributes;
        }
    }
    TKeyContext KeyContext(int current) {
        TKeyContext context;
        context.Info.PanelItems = panelItems.data();
        context.Info.ItemsNumber = static_cast<int>(panelItems.size());
        context.Info.CurrentItem = current;
        return context;
    }

    struct ControlCall {
        int command;
        int currentItem;  // FCTL_REDRAWPANEL
    };

    ModuleSettings settings;
    FakeHost& host = settings.host;
    std::vector<PluginPanelItem> panelItems;
    std::vector<ControlCall> controls;
    int questions = 0;  // asked of the user
    int answer = 1;

  private:
    static inline RegistryPanelTest* current_ = nullptr;

    static int PanelControl(HANDLE plugin, int command, void* param) {
        EXPECT_EQ(plugin, kOwner);
        RegistryPanelTest& test = *current_;
        ControlCall call{command, -1};
        if (command == FCTL_GETPANELINFO) {
            auto& info = *static_cast<PanelInfo*>(param);
            info.PanelItems = test.panelItems.data();
            info.ItemsNumber = static_cast<int>(test.panelItems.size());
        } else if (command == FCTL_REDRAWPANEL && param) {
            call.currentItem = static_cast<PanelRedrawInfo*>(param)->CurrentItem;
        }
        test.controls.push_back(call);
        return 1;
    }
};

}  // namespace kestrova::testing
