// Listing helpers for the group-list and article-index flows: the host's name matching, the
// panel's events, a listing read into names, and the selected items of a key context.
#pragma once

#include <fnmatch.h>

#include <cstring>
#include <string>
#include <vector>

#include "news/news_session_fixture.h"
#include "ui/key_context.h"
#include "ui/panel_items.h"

namespace kestrova::testing {

class NewsListingTest : public NewsSessionTest {
  protected:
    struct Event {
        int kind;
        intptr_t param1;
    };
    struct Listing {
        std::vector<std::string> names;
        std::vector<std::vector<std::string>> columns;
        std::vector<uint32_t> attributes;
        std::vector<intptr_t> userData;
    };

    NewsListingTest() { StartupInfo.CmpName = &MatchName; }

    // Connects and records the panel events.
    void Open(const std::vector<std::string>& serverOptions = {}) {
        ConnectTo(serverOptions);
        manager->OnEvent = [this](int kind, intptr_t param1, intptr_t) {
            events.push_back({kind, param1});
            return 0;
        };
    }

    // GetFindData into a listing; a failure is passed on after the items are taken.
    Listing List() {
        PluginPanelItem* items = nullptr;
        int count = 0;
        Listing listing;
        try {
            manager->GetFindData(items, count);
        } catch (...) {
            Take(items, count, listing);
            lastPartial = listing;
            throw;
        }
        Take(items, count, listing);
        return listing;
    }

    // A key context whose selection is the named items.
    TKeyContext Selecting(const std::vector<std::string>& names) {
        selection_.assign(names.size(), PluginPanelItem{});
        for (size_t i = 0; i < names.size(); ++i) {
            std::strcpy(selection_[i].FindData.cFileName, names[i].c_str());
        }
        TKeyContext context;
        context.Info.SelectedItems = selection_.data();
        context.Info.SelectedItemsNumber = static_cast<int>(names.size());
        return context;
    }

    bool HadEvent(int kind, intptr_t param1) const {
        for (const Event& e : events) {
            if (e.kind == kind && e.param1 == param1) return true;
        }
        return false;
    }

    std::vector<std::string> CommandsLike(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& c : server.ClientCommands()) {
            if (c.rfind(prefix, 0) == 0) found.push_back(c);
        }
        return found;
    }

    std::vector<Event> events;
    Listing lastPartial;

  private:
    static int MatchName(const char* pattern, const char* name, int) {
        return fnmatch(pattern, name, FNM_CASEFOLD) == 0 ? 1 : 0;
    }

    static void Take(PluginPanelItem* items, int count, Listing& listing) {
        for (int i = 0; i < count; ++i) {
            listing.names.emplace_back(items[i].FindData.cFileName);
            listing.attributes.push_back(items[i].FindData.dwFileAttributes);
            listing.userData.push_back(items[i].UserData);
            std::vector<std::string> columns;
            for (int c = 0; c < items[i].CustomColumnNumber; ++c) {
                columns.emplace_back(items[i].CustomColumnData[c]);
            }
            listing.columns.push_back(columns);
        }
        FreePanelItems(items, count);
    }

    std::vector<PluginPanelItem> selection_;
};

}  // namespace kestrova::testing
