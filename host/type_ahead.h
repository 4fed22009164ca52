// Keys typed ahead into the console input queue: at once (`type-ahead`), or some time later
// (`type-ahead-after`), as a user who presses Esc while the module is already waiting.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/key_names.h"
#include "host/script_parser.h"
#include "platform/console_input.h"

namespace kestrova::host {

// The console input event of a key press.
platform::InputEvent InputEventOf(const KeyPress& key);

// The events of the key names from word `first` on; throws HostError naming the line for an
// unknown key.
std::vector<platform::InputEvent> ParseTypedKeys(const ScriptLine& line, size_t first);

struct DelayedTyping {
    int Millis = 0;
    std::vector<platform::InputEvent> Events;
};

inline constexpr int kMaxTypingDelayMillis = 600000;

// "type-ahead-after MILLISECONDS KEY...": a delay from 1 to kMaxTypingDelayMillis and at least one
// key; throws HostError naming the line otherwise.
DelayedTyping ParseTypeAheadAfter(const ScriptLine& line);

// Keys that enter the console input queue once their time has come. A timer is registered as
// the console input's descriptor, so a module blocked in a wait wakes when the keys are due; they
// enter the queue when the module next looks at its input (the queue is not shared with another
// thread). One delayed typing at a time; the object is the process's console input source while
// it lives.
class DelayedKeys {
  public:
    DelayedKeys();
    ~DelayedKeys();
    DelayedKeys(const DelayedKeys&) = delete;
    DelayedKeys& operator=(const DelayedKeys&) = delete;

    // Starts the timer for typing written at script line `line`. Throws HostError when the timer
    // cannot be set.
    void Arm(const DelayedTyping& typing, int line);
    bool Pending() const { return pendingLine_ != 0; }
    // The script line of the typing still on its way (0: none); the typing is dropped.
    int CancelPending();

  private:
    void DeliverIfDue();

    int timer_ = -1;
    int pendingLine_ = 0;
    std::vector<platform::InputEvent> events_;
};

}  // namespace kestrova::host
