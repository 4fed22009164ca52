#include "host/script_runner.h"

#include <charconv>
#include <filesystem>
#include <system_error>

#include "host/host_error.h"
#include "host/key_names.h"
#include "host/type_ahead.h"
#include "host/utf8_copy.h"
#include "platform/clipboard.h"
#include "platform/codepages.h"
#include "platform/console_input.h"
#include "platform/filesystem.h"

namespace kestrova::host {
namespace {

[[noreturn]] void Fail(const ScriptLine& line, const std::string& what) {
    throw HostError("line " + std::to_string(line.Number) + ": " + what);
}

void RequireWords(const ScriptLine& line, size_t least, size_t most, const char* usage) {
    if (line.Words.size() < least || line.Words.size() > most)
        Fail(line, std::string("usage: ") + usage);
}

int OptionalIndex(const ScriptLine& line, size_t word) {
    if (line.Words.size() <= word) return 0;
    int value = 0;
    const std::string& text = line.Words[word];
    const auto [ptr, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || ptr != text.data() + text.size() || value < 0)
        Fail(line, "expected an entry number, found \"" + text + "\"");
    return value;
}

std::string Oem(const std::string& utf8) {
    return platform::Utf8ToOem(utf8);
}

KeyPress Key(const ScriptLine& line, const std::string& name) {
    const std::optional<KeyPress> key = ParseKey(name);
    if (!key) Fail(line, "unknown key \"" + name + "\"");
    return *key;
}

}  // namespace

ScriptRunner::ScriptRunner(std::ostream& out, std::string modulePath,
                           SettingsTextSource settingsText)
    : transcript_(out),
      frontEnd_(transcript_),
      modulePath_(std::move(modulePath)),
      settingsText_(std::move(settingsText)) {}

int ScriptRunner::Run(std::string_view script) {
    try {
        const std::vector<ScriptLine> lines = ParseScript(script, ProcessEnvironment);
        host_.emplace(modulePath_, frontEnd_, std::string());
        for (const ScriptLine& line : lines) {
            if (line.Words[0] == "answer") {
                frontEnd_.Queue(ParseAnswer(line));
                continue;
            }
            transcript_.Raw("> " + line.Text);
            frontEnd_.BeginAction(line.Number);
            std::optional<std::string> failure;
            try {
                Execute(line);
            } catch (const HostError& error) {
                failure = error.what();
            }
            ShowChanges();
            const std::optional<std::string> shownFailure = frontEnd_.EndAction();
            if (!failure) failure = shownFailure;
            if (!failure && line.Words[0] != "type-ahead-after") failure = UndeliveredTyping(line);
            if (failure) {
                transcript_.Raw("error: " + *failure);
                host_->SetTracing(false);  // closing down is not part of the transcript
                return 1;
            }
        }
        if (const std::optional<std::string> leftovers = frontEnd_.Leftovers()) {
            transcript_.Raw("error: " + *leftovers);
            return 1;
        }
        if (delayedKeys_ && delayedKeys_->Pending()) {
            transcript_.Raw("error: the keys typed ahead at line " +
                            std::to_string(delayedKeys_->CancelPending()) +
                            " were left for no action");
            return 1;
        }
        host_.reset();
        return 0;
    } catch (const HostError& error) {
        transcript_.Raw(std::string("error: ") + error.what());
        return 1;
    }
}

Host& ScriptRunner::RequireHost() {
    return *host_;
}

ModulePanel& ScriptRunner::RequirePanel() {
    if (!host_->Panel()) throw HostError("no module panel is open");
    return *host_->Panel();
}

void ScriptRunner::ShowChanges() {
    Host& host = RequireHost();
    if (host.Panel()) {
        if (shownTitle_ != host.Panel()->Title())
            transcript_.Labelled("title: ", host.Panel()->Title());
        shownTitle_ = host.Panel()->Title();
    } else if (shownTitle_) {
        transcript_.Raw("panel closed");
        shownTitle_.reset();
    }
    if (host.CommandLine() != shownCommandLine_)
        transcript_.Labelled("command line: ", host.CommandLine());
    shownCommandLine_ = host.CommandLine();
}

void ScriptRunner::Execute(const ScriptLine& line) {
    Host& host = RequireHost();
    const std::string& verb = line.Words[0];
    const std::vector<std::string>& words = line.Words;
    if (verb == "open") {
        Open(line);
    } else if (verb == "close") {
        RequireWords(line, 1, 1, "close");
        RequirePanel();
        host.ClosePanel();
    } else if (verb == "configure") {
        RequireWords(line, 1, 2, "configure [ENTRY]");
        const int result = host.Configure(OptionalIndex(line, 1));
        transcript_.Raw("configure result: " + std::to_string(result));
    } else if (verb == "key") {
        RequireWords(line, 2, SIZE_MAX, "key KEY...");
        Keys(line, 1);
    } else if (verb == "enter" || verb == "cursor") {
        RequireWords(line, 2, 2, "enter|cursor NAME");
        ModulePanel& panel = RequirePanel();
        const int index = panel.Find(Oem(words[1]));
        if (index < 0) Fail(line, "the panel has no item \"" + words[1] + "\"");
        panel.SetCursor(index, panel.Top());
        if (verb == "enter") host.PressKey(*ParseKey("Enter"));
    } else if (verb == "select" || verb == "unselect") {
        RequireWords(line, 2, SIZE_MAX, "select|unselect NAME...|all");
        Select(line, verb == "select");
    } else if (verb == "copy" || verb == "move") {
        RequireWords(line, 1, 2, "copy|move [FOLDER]");
        host.PressKey(*ParseKey(verb == "copy" ? "F5" : "F6"),
                      words.size() > 1 ? Oem(words[1]) : std::string());
    } else if (verb == "put" || verb == "put-move") {
        RequireWords(line, 2, SIZE_MAX, "put|put-move NAME...");
        std::vector<std::string> names;
        for (size_t i = 1; i < words.size(); ++i) names.push_back(Oem(words[i]));
        host.PutFromLocal(names, verb == "put-move");
    } else if (verb == "mkdir" || verb == "delete" || verb == "view" || verb == "edit") {
        RequireWords(line, 1, 1, "mkdir|delete|view|edit");
        const char* key = verb == "mkdir"    ? "F7"
                          : verb == "delete" ? "F8"
                          : verb == "view"   ? "F3"
                                             : "F4";
        host.PressKey(*ParseKey(key));
    } else if (verb == "local") {
        RequireWords(line, 2, 2, "local FOLDER");
        if (!host.ChangeLocalFolder(Oem(words[1]))) Fail(line, "no such folder: " + words[1]);
    } else if (verb == "local-cursor") {
        RequireWords(line, 2, 2, "local-cursor NAME");
        const int index = host.OtherLocal().Find(Oem(words[1]));
        if (index < 0) Fail(line, "the local panel has no item \"" + words[1] + "\"");
        host.OtherLocal().SetCursor(index, 0);
    } else if (verb == "local-file") {
        RequireWords(line, 3, 3, "local-file NAME TEXT");
        WriteLocalFile(line);
    } else if (verb == "local-folder") {
        RequireWords(line, 2, 2, "local-folder NAME");
        std::error_code error;
        std::filesystem::create_directories(
            platform::ToNativePath(host.OtherLocal().PathOf(Oem(words[1]))), error);
        if (error) Fail(line, "cannot create the folder " + words[1] + ": " + error.message());
        host.OtherLocal().Reread();
    } else if (verb == "print") {
        Print(line);
    } else if (verb == "remember-shortcut") {
        RequireWords(line, 1, 1, "remember-shortcut");
        rememberedShortcut_ = RequirePanel().ShortcutData();
    } else if (verb == "trace") {
        RequireWords(line, 2, 2, "trace on|off");
        if (words[1] != "on" && words[1] != "off") Fail(line, "usage: trace on|off");
        host.SetTracing(words[1] == "on");
    } else if (verb == "type-ahead") {
        RequireWords(line, 2, SIZE_MAX, "type-ahead KEY...");
        for (const platform::InputEvent& event : ParseTypedKeys(line, 1))
            platform::PushInput(event);
    } else if (verb == "type-ahead-after") {
        TypeAheadAfter(line);
    } else {
        Fail(line, "unknown command \"" + verb + "\"");
    }
}

void ScriptRunner::Open(const ScriptLine& line) {
    RequireWords(
        line, 2, 3,
        "open menu|disks [ENTRY] | open command TEXT | open shortcut [DATA] | open file NAME");
    Host& host = RequireHost();
    const std::string& how = line.Words[1];
    if (how == "menu" || how == "disks") {
        const int entry = OptionalIndex(line, 2);
        const std::string chosen =
            how == "menu" ? host.OpenFromPluginsMenu(entry) : host.OpenFromDisksMenu(entry);
        transcript_.Labelled(how == "menu" ? "plugins menu: " : "disks menu: ", chosen);
    } else if (how == "command" && line.Words.size() == 3) {
        host.OpenCommandLine(Oem(line.Words[2]));
    } else if (how == "shortcut") {
        host.OpenShortcut(line.Words.size() == 3 ? Oem(line.Words[2]) : rememberedShortcut_);
    } else if (how == "file" && line.Words.size() == 3) {
        host.OpenFile(Oem(line.Words[2]));
    } else {
        Fail(line,
             "usage: open menu|disks [ENTRY] | open command TEXT | open shortcut [DATA] | open "
             "file NAME");
    }
}

void ScriptRunner::Keys(const ScriptLine& line, size_t first) {
    std::vector<KeyPress> keys;
    for (size_t i = first; i < line.Words.size(); ++i) keys.push_back(Key(line, line.Words[i]));
    for (const KeyPress& key : keys) RequireHost().PressKey(key);
}

void ScriptRunner::Select(const ScriptLine& line, bool selected) {
    ModulePanel& panel = RequirePanel();
    if (line.Words.size() == 2 && line.Words[1] == "all") {
        panel.SelectAll(selected);
        return;
    }
    for (size_t i = 1; i < line.Words.size(); ++i) {
        const int index = panel.Find(Oem(line.Words[i]));
        if (index < 0) Fail(line, "the panel has no item \"" + line.Words[i] + "\"");
        panel.SetSelected(index, selected);
    }
}

void ScriptRunner::WriteLocalFile(const ScriptLine& line) {
    Host& host = RequireHost();
    const std::string path = platform::ToNativePath(host.OtherLocal().PathOf(Oem(line.Words[1])));
    WriteFileBytes(path, Oem(line.Words[2]));
    host.OtherLocal().Reread();
}

void ScriptRunner::TypeAheadAfter(const ScriptLine& line) {
    const DelayedTyping typing = ParseTypeAheadAfter(line);
    if (!delayedKeys_) delayedKeys_.emplace();
    if (delayedKeys_->Pending())
        Fail(line, "the keys typed ahead at line " + std::to_string(delayedKeys_->CancelPending()) +
                       " are still waiting for an action");
    delayedKeys_->Arm(typing, line.Number);
}

std::optional<std::string> ScriptRunner::UndeliveredTyping(const ScriptLine& line) {
    if (!delayedKeys_ || !delayedKeys_->Pending()) return std::nullopt;
    return "line " + std::to_string(line.Number) + ": the action ended before the keys typed " +
           "ahead at line " + std::to_string(delayedKeys_->CancelPending()) + " arrived";
}

void ScriptRunner::Print(const ScriptLine& line) {
    constexpr const char* kUsage =
        "usage: print panel|local|keybar|cmdline|clipboard|shortcut|file NAME|bytes NAME|settings "
        "[KEY]";
    RequireWords(line, 2, 3, kUsage);
    Host& host = RequireHost();
    const std::string& what = line.Words[1];
    if (what == "settings") {
        PrintSettings(line);
    } else if (what == "panel") {
        transcript_.ModulePanelListing(RequirePanel());
    } else if (what == "local") {
        transcript_.LocalPanelListing(host.OtherLocal(), host.StartFolder());
    } else if (what == "keybar") {
        transcript_.KeyBar(RequirePanel().KeyBar());
    } else if (what == "cmdline") {
        transcript_.Labelled("command line: ", host.CommandLine());
    } else if (what == "clipboard") {
        transcript_.Raw("clipboard:");
        transcript_.FileContent(platform::ClipboardText());
    } else if (what == "shortcut") {
        transcript_.Labelled("shortcut: ", RequirePanel().ShortcutData());
    } else if ((what == "file" || what == "bytes") && line.Words.size() == 3) {
        const std::string path = host.OtherLocal().PathOf(Oem(line.Words[2]));
        transcript_.Raw(what + " " + line.Words[2] + ":");
        transcript_.FileContent(ReadFileBytes(platform::ToNativePath(path)), {}, what == "bytes");
    } else {
        Fail(line, kUsage);
    }
}

// "settings KEY:" then the key's text without its blank lines, indented; "  (no such key)" when
// the key does not exist.
void ScriptRunner::PrintSettings(const ScriptLine& line) {
    const std::string key = line.Words.size() == 3 ? line.Words[2] : std::string();
    std::optional<std::string> text;
    try {
        text = settingsText_(Oem(key));
    } catch (const std::exception& error) {
        Fail(line, std::string("cannot read the settings: ") + error.what());
    }
    transcript_.Raw(key.empty() ? "settings:" : "settings " + key + ":");
    if (!text) {
        transcript_.Raw("  (no such key)");
        return;
    }
    size_t start = 0;
    while (start < text->size()) {
        size_t end = text->find('\n', start);
        if (end == std::string::npos) end = text->size();
        std::string_view entry(text->data() + start, end - start);
        if (!entry.empty() && entry.back() == '\r') entry.remove_suffix(1);
        if (!entry.empty()) transcript_.Raw("  " + std::string(entry));
        start = end + 1;
    }
}

}  // namespace kestrova::host
