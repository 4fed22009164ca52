// A panel object under test: module settings in a fresh store, the fake host's dialogs and
// message boxes, and a panel control that reports a scripted panel and records the commands
// sent, with saved screens and a clock the test moves.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/console_input.h"
#include "plugin/nntp_plugin.h"
#include "ui/module_settings.h"

namespace kestrova::testing {

class PanelTest : public ::testing::Test {
  protected:
    PanelTest() {
        current_ = this;
        hostMessage_ = StartupInfo.Message;
        StartupInfo.Message = &Message;
        StartupInfo.Control = &Control;
        StartupInfo.SaveScreen = &SaveScreen;
        StartupInfo.RestoreScreen = &RestoreScreen;
        platform::SetMonotonicClock(&Clock);
        now_ = 100000;
        platform::FlushInputQueue();
    }
    ~PanelTest() override {
        platform::SetMonotonicClock(nullptr);
        current_ = nullptr;
    }

    void Advance(uint64_t millis) { now_ += millis; }
    static void PressEsc() { platform::PushInput({1, true, VK_ESCAPE, 0, 27}); }

    ModuleSettings settings;
    FakeHost& host = settings.host;
    PanelInfo panelInfo{};  // what FCTL_GETPANELINFO answers
    bool refusePanelInfo = false;
    std::vector<int> controls;  // the commands sent to the host
    int savedScreens = 0;       // screens saved and not yet restored
    int restoredScreens = 0;

  private:
    static inline PanelTest* current_ = nullptr;
    static inline uint64_t now_ = 0;

    static inline FARAPIMESSAGE hostMessage_ = nullptr;

    static uint64_t Clock() { return now_; }

    // Boxes without buttons (status and progress) return at once and need no queued answer.
    static int Message(intptr_t moduleNumber, unsigned flags, const char* helpTopic,
                       const char* const* items, int itemsNumber, int buttonsNumber) {
        if (buttonsNumber > 0)
            return hostMessage_(moduleNumber, flags, helpTopic, items, itemsNumber, buttonsNumber);
        current_->host.messages.push_back({flags, {items, items + itemsNumber}, 0});
        return -1;
    }

    static int Control(HANDLE, int command, void* param) {
        PanelTest& test = *current_;
        if (command == FCTL_GETPANELINFO) {
            if (test.refusePanelInfo) return 0;
            *static_cast<PanelInfo*>(param) = test.panelInfo;
        }
        test.controls.push_back(command);
        return 1;
    }
    static HANDLE SaveScreen(int, int, int, int) {
        ++current_->savedScreens;
        return reinterpret_cast<HANDLE>(static_cast<intptr_t>(current_->savedScreens));
    }
    static void RestoreScreen(HANDLE) {
        --current_->savedScreens;
        ++current_->restoredScreens;
    }
};

}  // namespace kestrova::testing
