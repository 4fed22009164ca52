// Runs a script of user actions against the host and writes the transcript (see README.md for
// the language). The first failure ends the run.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "host/host.h"
#include "host/script_front_end.h"
#include "host/script_parser.h"
#include "host/transcript.h"
#include "host/type_ahead.h"

namespace kestrova::host {

// The settings-store text of a key and everything below it (the key path relative to
// HKEY_CURRENT_USER, OEM; empty for the whole store), CRLF lines; nullopt when there is no such
// key. Supplied by the program, which links the module's store code.
using SettingsTextSource = std::function<std::optional<std::string>(const std::string& keyPath)>;

class ScriptRunner {
  public:
    ScriptRunner(std::ostream& out, std::string modulePath, SettingsTextSource settingsText);

    // 0 when every line ran, 1 after a failure (written to the transcript as "error: ...").
    int Run(std::string_view script);

  private:
    void Execute(const ScriptLine& line);
    void Open(const ScriptLine& line);
    void Print(const ScriptLine& line);
    void PrintSettings(const ScriptLine& line);
    void Select(const ScriptLine& line, bool selected);
    void Keys(const ScriptLine& line, size_t first);
    void WriteLocalFile(const ScriptLine& line);
    void TypeAheadAfter(const ScriptLine& line);
    // The failure of an action that ended while keys typed ahead with a delay were still on
    // their way (they are dropped: arriving later, they would reach an unknown action).
    std::optional<std::string> UndeliveredTyping(const ScriptLine& line);
    // Writes what changed on screen after an action: the panel's title, its closing, the
    // command line.
    void ShowChanges();
    Host& RequireHost();
    ModulePanel& RequirePanel();

    Transcript transcript_;
    ScriptFrontEnd frontEnd_;
    std::string modulePath_;
    SettingsTextSource settingsText_;
    std::optional<DelayedKeys> delayedKeys_;  // the console input source once a script delays keys
    std::optional<Host> host_;
    std::optional<std::string> shownTitle_;
    std::string shownCommandLine_;
    std::string rememberedShortcut_;
};

}  // namespace kestrova::host
