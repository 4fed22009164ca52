// The generic host panel object: its mode and the answers every panel object shares.
#pragma once

#include <cstdint>

namespace kestrova {

enum class PanelMode : uint8_t {
    None = 0,      // before a subclass sets a mode
    Registry = 1,  // the stored accounts
    Internet = 2,  // connected to one account's server
    Closing = 3,   // while the object is destroyed
};

class TFarPlugin {
  public:
    virtual ~TFarPlugin() = default;
    TFarPlugin() = default;
    TFarPlugin(const TFarPlugin&) = delete;
    TFarPlugin& operator=(const TFarPlugin&) = delete;

    // True before a mode is set and while closing: every panel operation then gives its
    // neutral answer without doing anything.
    virtual bool IsInactive() const;
    // Host panel events; always answers 0.
    virtual int ProcessEvent(int event, void* param);

  protected:
    PanelMode Mode = PanelMode::None;
};

}  // namespace kestrova
