// Shared set-up of the news session tests: a fake host for message texts and dialogs, a fresh
// home folder, options with a full log and a short server time-out, and a fixture news server
// with one small group.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "fixture_server.h"
#include "news/news_internet_manager.h"
#include "platform/console_input.h"
#include "temp_home.h"
#include "ui/fake_host.h"
#include "ui/plugin_options.h"

namespace kestrova::testing {

inline constexpr const char* kTestGroup = "alt.test";

class NewsSessionTest : public HostTest {
  protected:
    NewsSessionTest() : savedOptions_(Options) {
        Options.Connect.CreateLog = 1;
        Options.Connect.LogLevel = 3;
        Options.Connect.LogFile = "session.log";
        Options.Connect.ServerTimeout = 5;  // 10 seconds: a broken exchange fails, never hangs
        Options.Connect.CacheLife = 0;
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

    TAccountOptions Account(const std::string& user = "", const std::string& password = "") {
        TAccountOptions account;
        account.Url.Scheme = "news";
        account.Url.HostName = "127.0.0.1";
        account.Url.Port = server.Port();
        account.Url.UserName = user;
        account.Url.Password = password;
        account.CharTable = -4;
        return account;
    }

    // Starts the server with options and connects a new manager to it.
    void ConnectTo(const std::vector<std::string>& serverOptions = {}, const std::string& user = "",
                   const std::string& password = "") {
        server.Start(serverOptions);
        manager = std::make_unique<TNewsInternetManager>(reinterpret_cast<HANDLE>(0x1234));
        manager->Connect(Account(user, password));
    }

    std::string SessionLog() const { return home.ReadFile("session.log"); }

    TempHomeForTest home;
    FixtureNewsServer server;
    std::unique_ptr<TNewsInternetManager> manager;

  private:
    TPluginOptions savedOptions_;
};

}  // namespace kestrova::testing
