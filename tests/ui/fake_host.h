// A test double of the host's service table: records what Message, Menu and Dialog receive and
// answers from queues. An unexpected call (no queued answer) fails the test and answers Esc.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "hostapi/plugin_api.h"
#include "ui/host_services.h"

namespace kestrova::testing {

class FakeHost {
  public:
    struct MessageCall {
        unsigned flags;
        const char* helpTopic;
        std::vector<std::string> items;
        int buttons;
    };
    struct MenuCall {
        int x, y, maxHeight;
        unsigned flags;
        std::string title;
        std::vector<FarMenuItem> items;
    };
    struct DialogCall {
        int x1, y1, x2, y2;
        std::string helpTopic;
        std::vector<FarDialogItem> items;  // as the module passed them in
    };
    // Answers a dialog: may edit the items as a user would, returns the closing item.
    using DialogAnswer = std::function<int(std::vector<FarDialogItem>& items)>;

    static constexpr intptr_t kModuleNumber = 0x5A5A;

    FakeHost() { current_ = this; }
    ~FakeHost() { current_ = nullptr; }
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    // A full service table pointing at this double.
    PluginStartupInfo Info() {
        PluginStartupInfo info{};
        info.StructSize = sizeof info;
        std::strcpy(info.ModuleName, "/opt/kestrova/kestrova.so");
        info.ModuleNumber = kModuleNumber;
        info.RootKey = "Software\\Far\\Plugins";
        info.Menu = &Menu;
        info.Dialog = &Dialog;
        info.Message = &Message;
        info.GetMsg = &GetMsg;
        info.CharTable = &CharTable;
        info.AdvControl = &AdvControl;
        info.FSF = &standardFunctions;
        return info;
    }

    // Names of the host's character tables, by number.
    std::vector<std::string> charTables{"KOI-8", "CP-1251   (Windows russian)",
                                        "ISO 8859-5 (Unix russian)"};
    // Message texts: "<n>" unless a test sets one.
    std::map<int, std::string> texts;
    int farVersion = 0x0146;
    FarStandardFunctions standardFunctions{
        sizeof(FarStandardFunctions), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

    std::vector<MessageCall> messages;
    std::vector<MenuCall> menus;
    std::vector<DialogCall> dialogs;
    std::deque<int> messageAnswers;
    std::deque<int> menuAnswers;
    std::deque<DialogAnswer> dialogAnswers;

    // A dialog answer that closes with item closing after setting the texts given by index.
    static DialogAnswer Close(int closing, std::map<int, std::string> texts = {},
                              std::map<int, int> states = {}) {
        return [=](std::vector<FarDialogItem>& items) {
            for (const auto& [index, text] : texts) std::strcpy(items.at(index).Data, text.c_str());
            for (const auto& [index, state] : states) items.at(index).Selected = state;
            return closing;
        };
    }

  private:
    static inline FakeHost* current_ = nullptr;
    std::map<int, std::string> defaultTexts_;

    static const char* GetMsg(intptr_t moduleNumber, int msgId) {
        EXPECT_EQ(moduleNumber, kModuleNumber);
        FakeHost& host = *current_;
        auto found = host.texts.find(msgId);
        if (found != host.texts.end()) return found->second.c_str();
        return host.defaultTexts_.try_emplace(msgId, "<" + std::to_string(msgId) + ">")
            .first->second.c_str();
    }

    static int Message(intptr_t moduleNumber, unsigned flags, const char* helpTopic,
                       const char* const* items, int itemsNumber, int buttonsNumber) {
        EXPECT_EQ(moduleNumber, kModuleNumber);
        FakeHost& host = *current_;
        host.messages.push_back({flags, helpTopic, {items, items + itemsNumber}, buttonsNumber});
        return Next(host.messageAnswers, "message box");
    }

    static int Menu(intptr_t moduleNumber, int x, int y, int maxHeight, unsigned flags,
                    const char* title, const char* bottom, const char* helpTopic,
                    const int* breakKeys, int* breakCode, const FarMenuItem* item,
                    int itemsNumber) {
        EXPECT_EQ(moduleNumber, kModuleNumber);
        EXPECT_EQ(bottom, nullptr);
        EXPECT_EQ(helpTopic, nullptr);
        EXPECT_EQ(breakKeys, nullptr);
        EXPECT_EQ(breakCode, nullptr);
        FakeHost& host = *current_;
        host.menus.push_back({x, y, maxHeight, flags, title, {item, item + itemsNumber}});
        return Next(host.menuAnswers, "menu");
    }

    static int Dialog(intptr_t moduleNumber, int x1, int y1, int x2, int y2, const char* helpTopic,
                      FarDialogItem* item, int itemsNumber) {
        EXPECT_EQ(moduleNumber, kModuleNumber);
        FakeHost& host = *current_;
        host.dialogs.push_back(
            {x1, y1, x2, y2, helpTopic ? helpTopic : "", {item, item + itemsNumber}});
        if (host.dialogAnswers.empty()) {
            ADD_FAILURE() << "unexpected dialog";
            return -1;
        }
        DialogAnswer answer = std::move(host.dialogAnswers.front());
        host.dialogAnswers.pop_front();
        std::vector<FarDialogItem> edited(item, item + itemsNumber);
        const int result = answer(edited);
        std::copy(edited.begin(), edited.end(), item);
        return result;
    }

    static int CharTable(int n, char* buffer, int bufferSize) {
        const auto& tables = current_->charTables;
        if (n < 0 || n >= static_cast<int>(tables.size())) return -1;
        EXPECT_EQ(bufferSize, static_cast<int>(sizeof(CharTableSet)));
        CharTableSet set{};
        for (int i = 0; i < 256; ++i)
            set.DecodeTable[i] = set.EncodeTable[i] = set.UpperTable[i] = set.LowerTable[i] =
                static_cast<unsigned char>(i);
        std::strncpy(set.TableName, tables[n].c_str(), sizeof set.TableName - 1);
        std::memcpy(buffer, &set, sizeof set);
        return n;
    }

    static intptr_t AdvControl(intptr_t moduleNumber, int command, void* param) {
        EXPECT_EQ(moduleNumber, kModuleNumber);
        EXPECT_EQ(command, ACTL_GETFARVERSION);
        *static_cast<int*>(param) = current_->farVersion;
        return 1;
    }

    static int Next(std::deque<int>& answers, const char* what) {
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected " << what;
            return -1;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Installs a fresh double as the module's service table for each test.
class HostTest : public ::testing::Test {
  protected:
    HostTest() { StartupInfo = host.Info(); }
    ~HostTest() override { StartupInfo = PluginStartupInfo{}; }

    FakeHost host;
};

}  // namespace kestrova::testing
