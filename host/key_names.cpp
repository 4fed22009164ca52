#include "host/key_names.h"

#include <cctype>
#include <iterator>

#include "hostapi/plugin_api.h"

namespace kestrova::host {
namespace {

struct NamedKey {
    const char* Name;
    int VirtualKey;
};

constexpr NamedKey kKeys[] = {
    {"Enter", VK_RETURN},  {"Esc", VK_ESCAPE},    {"Tab", VK_TAB},        {"Space", VK_SPACE},
    {"BS", VK_BACK},       {"Ins", VK_INSERT},    {"Del", VK_DELETE},     {"Home", VK_HOME},
    {"End", VK_END},       {"PgUp", VK_PRIOR},    {"PgDn", VK_NEXT},      {"Up", VK_UP},
    {"Down", VK_DOWN},     {"Left", VK_LEFT},     {"Right", VK_RIGHT},    {"Insert", VK_INSERT},
    {"Delete", VK_DELETE}, {"Escape", VK_ESCAPE}, {"Backspace", VK_BACK},
};

struct Modifier {
    const char* Name;
    unsigned State;
};

constexpr Modifier kModifiers[] = {{"Ctrl", PKF_CONTROL}, {"Alt", PKF_ALT}, {"Shift", PKF_SHIFT}};

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::optional<int> KeyCode(std::string_view name) {
    for (const NamedKey& key : kKeys)
        if (SameText(name, key.Name)) return key.VirtualKey;
    if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
        int number = 0;
        for (char c : name.substr(1)) {
            if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
            number = number * 10 + (c - '0');
        }
        if (number >= 1 && number <= 12) return VK_F1 + number - 1;
        return std::nullopt;
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return std::toupper(static_cast<unsigned char>(name[0]));
    return std::nullopt;
}

}  // namespace

std::optional<KeyPress> ParseKey(std::string_view text) {
    KeyPress key;
    while (true) {
        const size_t joint = text.find_first_of("+-", 1);
        if (joint == std::string_view::npos) break;
        const std::string_view modifier = text.substr(0, joint);
        bool known = false;
        for (const Modifier& m : kModifiers)
            if (SameText(modifier, m.Name)) {
                key.ControlState |= m.State;
                known = true;
            }
        if (!known) return std::nullopt;
        text.remove_prefix(joint + 1);
    }
    const std::optional<int> code = KeyCode(text);
    if (!code) return std::nullopt;
    key.VirtualKey = *code;
    return key;
}

std::string KeyName(const KeyPress& key) {
    std::string name;
    for (const Modifier& m : kModifiers)
        if (key.ControlState & m.State) name += std::string(m.Name) + "+";
    for (const NamedKey& named : kKeys)
        if (named.VirtualKey == key.VirtualKey) return name + named.Name;
    if (key.VirtualKey >= VK_F1 && key.VirtualKey <= VK_F12)
        return name + "F" + std::to_string(key.VirtualKey - VK_F1 + 1);
    return name + static_cast<char>(key.VirtualKey);
}

}  // namespace kestrova::host
