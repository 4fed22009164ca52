// Shared set-up of the news session tests: a fake host, a fresh home folder, options with a full
// log and a short server time-out, a news server (the fixture server with one small group, or a
// scripted one), and the panel's listings, keys and selections.
#pragma once

#include <fnmatch.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/streams.h"
#include "fixture_server.h"
#include "news/news_internet_manager.h"
#include "news/scripted_socket.h"
#include "platform/console_input.h"
#include "temp_home.h"
#include "ui/fake_host.h"
#include "ui/key_context.h"
#include "ui/panel_items.h"
#include "ui/plugin_options.h"

namespace kestrova::testing {

inline constexpr const char* kTestGroup = "alt.test";
using Names = std::vector<std::string>;

class NewsSessionTest : public HostTest {
  protected:
    struct Listing {
        Names names;
        Names numbered;  // "UserData name"
    };

    NewsSessionTest() : savedOptions_(Options) {
        Options.Connect.CreateLog = 1;
        Options.Connect.LogLevel = 3;
        Options.Connect.LogFile = "session.log";
        Options.Connect.ServerTimeout = 5;  // 10 seconds: a broken exchange fails, never hangs
        Options.Connect.CacheLife = 0;
        StartupInfo.CmpName = [](const char* pattern, const char* name, int) {
            return fnmatch(pattern, name, FNM_CASEFOLD) == 0 ? 1 : 0;
        };
        platform::FlushInputQueue();
        server.AddGroup(kTestGroup);
        server.AddArticle(kTestGroup, 1,
                          "Message-ID: <1@test>\r\nSubject: first\r\n\r\nbody one\r\n");
        server.AddArticle(kTestGroup, 2,
                          "Message-ID: <2@test>\r\nSubject: second\r\n\r\nbody two\r\n");
    }
    ~NewsSessionTest() override {
        manager.reset();
        Options = savedOptions_;
        platform::FlushInputQueue();
    }

    // The account of the server (or of port); a scripted server takes any port.
    TAccountOptions Account(uint16_t port = 0) {
        TAccountOptions account;
        account.Url = {"news", "127.0.0.1", port != 0 ? port : server.Port(), "", "", "", ""};
        account.CharTable = -4;
        return account;
    }
    // A new manager on a scripted server whose connections play scripts, not connected yet.
    void Script(std::vector<TServerScript> scripts) {
        manager.reset();
        scripted = std::make_unique<TScriptedServer>(std::move(scripts));
        manager = std::make_unique<TScriptedNewsManager>(*scripted);
    }
    // The same, connected.
    void PlayScripts(std::vector<TServerScript> scripts) {
        Script(std::move(scripts));
        manager->Connect(Account());
    }
    // The fixture server started afresh (an empty exchange log) with options, no manager left.
    void Restart(const std::vector<std::string>& options = {}) {
        manager.reset();
        server.Stop();
        std::filesystem::remove(server.LogFile());
        server.Start(options);
    }
    // A new manager (the cache read from the account's file) connected with account.
    void ConnectNew(const TAccountOptions& account) {
        manager.reset();
        manager = std::make_unique<TNewsInternetManager>(nullptr);
        manager->Connect(account);
    }
    void Enter() {
        manager->SetDirectory(kTestGroup);
        ASSERT_EQ(manager->State(), NewsState::InGroup);
    }
    void ReEnter() {
        manager->SetDirectory("..");
        Enter();
    }
    // The command lines the client sent that start with prefix.
    Names Sent(const std::string& prefix = "") const {
        Names found;
        for (const std::string& c : scripted ? scripted->Commands() : server.ClientCommands()) {
            if (c.starts_with(prefix)) found.push_back(c);
        }
        return found;
    }

    // GetFindData into a listing.
    Listing List() {
        PluginPanelItem* items = nullptr;
        int count = 0;
        try {
            manager->GetFindData(items, count);
        } catch (...) {
            FreePanelItems(items, count);
            throw;
        }
        Listing listing;
        for (int i = 0; i < count; ++i) {
            listing.names.emplace_back(items[i].FindData.cFileName);
            listing.numbered.push_back(std::to_string(items[i].UserData) + " " +
                                       items[i].FindData.cFileName);
        }
        FreePanelItems(items, count);
        return listing;
    }

    // A key pressed with the named items selected.
    bool Key(int key, unsigned control, const Names& selected = {}) {
        std::vector<PluginPanelItem> items(selected.size());
        for (size_t i = 0; i < selected.size(); ++i) {
            std::strcpy(items[i].FindData.cFileName, selected[i].c_str());
        }
        TKeyContext context;
        context.Info.SelectedItems = items.data();
        context.Info.SelectedItemsNumber = static_cast<int>(items.size());
        int action = 0;
        return manager->ProcessKey(key, control, context, action);
    }

    std::string SessionLog() const { return home.ReadFile("session.log"); }

    // The article text posted by session.
    static void Post(TNewsInternetManager& session, const std::string& text) {
        TMemoryStream headers, body;
        body.WriteText(text);
        body.SetPosition(0);
        session.PostMessage(headers, body);
    }
    // Another session posts an article of subject to the test group, as a second reader would.
    void PostMeanwhile(const std::string& subject) {
        TNewsInternetManager poster(nullptr);
        poster.Connect(Account());
        Post(poster,
             "From: a@b\r\nNewsgroups: alt.test\r\nSubject: " + subject + "\r\n\r\nnew\r\n");
    }
    // Article n of the test group as the fixture server keeps it, with the extra header lines.
    static std::string ArticleText(int n, const std::string& extra = "") {
        return "Message-ID: <" + std::to_string(n) + "@test>\r\n" + extra + "Subject: article " +
               std::to_string(n) + "\r\n\r\nbody\r\n";
    }

    TempHomeForTest home;
    FixtureNewsServer server;
    std::unique_ptr<TScriptedServer> scripted;
    std::unique_ptr<TNewsInternetManager> manager;

  private:
    TPluginOptions savedOptions_;
};

}  // namespace kestrova::testing
