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
#include "platform/codepages.h"
#include "ui/host_services.h"

namespace kestrova::testing {

// The host's three character tables, built from the platform's code page tables:
// 0 "KOI-8", 1 "CP-1251   (Windows russian)", 2 "ISO 8859-5 (Unix russian)".
inline int HostCharTableDouble(int n, char* buffer, int bufferSize) {
    static const struct {
        int codePage;
        const char* name;
    } kTables[] = {{20866, "KOI-8"},
                   {1251, "CP-1251   (Windows russian)"},
                   {28595, "ISO 8859-5 (Unix russian)"}};
    if (n < 0 || n >= 3 || bufferSize < static_cast<int>(sizeof(CharTableSet))) return -1;
    std::string bytes(256, '\0');
    for (int b = 0; b < 256; ++b) bytes[b] = static_cast<char>(b);
    const int oem = platform::OemCodePage();
    CharTableSet table{};
    std::memcpy(table.DecodeTable,
                platform::ConvertCodePage(bytes, kTables[n].codePage, oem).data(), 256);
    std::memcpy(table.EncodeTable,
                platform::ConvertCodePage(bytes, oem, kTables[n].codePage).data(), 256);
    std::strcpy(table.TableName, kTables[n].name);
    std::memcpy(buffer, &table, sizeof table);
    return 0;
}

class FakeHost {
  public:
    struct MessageCall {
        unsigned flags;
        std::vector<std::string> items;
        int buttons;
    };
    struct MenuCall {
        std::vector<FarMenuItem> items;
    };
    struct DialogCall {
        int x2;
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
        info.CharTable = &HostCharTableDouble;
        info.AdvControl = &AdvControl;
        info.FSF = &standardFunctions;
        return info;
    }

    // Message texts: "<n>" unless a test sets one.
    std::map<int, std::string> texts;
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

    static int Message(intptr_t moduleNumber, unsigned flags, const char*, const char* const* items,
                       int itemsNumber, int buttonsNumber) {
        EXPECT_EQ(moduleNumber, kModuleNumber);
        current_->messages.push_back({flags, {items, items + itemsNumber}, buttonsNumber});
        return Next(current_->messageAnswers, "message box", -1);
    }

    static int Menu(intptr_t moduleNumber, int, int, int, unsigned, const char*, const char*,
                    const char*, const int*, int*, const FarMenuItem* item, int itemsNumber) {
        EXPECT_EQ(moduleNumber, kModuleNumber);
        current_->menus.push_back({{item, item + itemsNumber}});
        return Next(current_->menuAnswers, "menu", -1);
    }

    static int Dialog(intptr_t moduleNumber, int, int, int x2, int, const char*,
                      FarDialogItem* item, int itemsNumber) {
        EXPECT_EQ(moduleNumber, kModuleNumber);
        FakeHost& host = *current_;
        host.dialogs.push_back({x2, {item, item + itemsNumber}});
        const DialogAnswer answer = Next(host.dialogAnswers, "dialog", Close(-1));
        std::vector<FarDialogItem> edited(item, item + itemsNumber);
        const int result = answer(edited);
        std::copy(edited.begin(), edited.end(), item);
        return result;
    }

    static intptr_t AdvControl(intptr_t moduleNumber, int command, void* param) {
        EXPECT_EQ(moduleNumber, kModuleNumber);
        EXPECT_EQ(command, ACTL_GETFARVERSION);
        *static_cast<int*>(param) = 0x0146;
        return 1;
    }

    // The next queued answer; none fails the test and answers none (Esc).
    template <typename Answer>
    static Answer Next(std::deque<Answer>& answers, const char* what, Answer none) {
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected " << what;
            return none;
        }
        Answer answer = std::move(answers.front());
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
