#include "host/tui/key_bar.h"

#include "hostapi/plugin_api.h"

namespace kestrova::host::tui {
namespace {

// The host's own labels per row; empty where the key does nothing of the host's.
const std::array<std::array<const char*, 12>, 7> kHostLabels = {{
    {"Help", "", "View", "Edit", "Copy", "Move", "Folder", "Delete", "Config", "Quit", "Modules",
     ""},
    {"", "", "", "", "", "", "", "", "", "", "", ""},
    {"Left", "Right", "", "", "", "", "Find", "", "", "", "", ""},
    {"", "", "", "New", "", "", "", "", "", "", "", ""},
    {"", "", "", "", "", "", "", "", "", "", "", ""},
    {"", "", "", "", "", "", "", "", "", "", "", ""},
    {"", "", "", "", "", "", "", "", "", "", "", ""},
}};

}  // namespace

KeyBarRow RowOf(unsigned controlState) {
    const bool ctrl = controlState & PKF_CONTROL, alt = controlState & PKF_ALT,
               shift = controlState & PKF_SHIFT;
    if (ctrl && alt) return KeyBarRow::CtrlAlt;
    if (ctrl && shift) return KeyBarRow::CtrlShift;
    if (alt && shift) return KeyBarRow::AltShift;
    if (ctrl) return KeyBarRow::Ctrl;
    if (alt) return KeyBarRow::Alt;
    if (shift) return KeyBarRow::Shift;
    return KeyBarRow::Plain;
}

std::array<std::string, 12> KeyBarLabelsOf(KeyBarRow row, const KeyBarLabels* module) {
    const size_t index = static_cast<size_t>(row);
    std::array<std::string, 12> labels;
    for (size_t key = 0; key < labels.size(); ++key) {
        const std::string* own = module ? &(*module)[index][key] : nullptr;
        labels[key] = own && !own->empty() ? *own : kHostLabels[index][key];
    }
    return labels;
}

std::array<std::string, 12> ViewerKeyBarLabels(const std::string& f8Set) {
    return {"Help", "", "Quit", "", "", "", "Search", f8Set, "", "Quit", "", ""};
}

std::vector<KeyBarSlot> LayoutKeyBar(int width) {
    constexpr int kKeys = 12;
    int keys = kKeys;
    // Each slot holds its number and at least one label cell; narrower screens show fewer keys.
    const auto numberWidth = [](int key) { return key >= 9 ? 2 : 1; };
    const auto minimum = [&](int count) {
        int cells = 0;
        for (int key = 0; key < count; ++key) cells += numberWidth(key) + 1;
        return cells;
    };
    while (keys > 0 && minimum(keys) > width) --keys;
    std::vector<KeyBarSlot> slots;
    int numbers = 0;
    for (int key = 0; key < keys; ++key) numbers += numberWidth(key);
    const int labelCells = width - numbers;
    int x = 0;
    for (int key = 0; key < keys; ++key) {
        // Labels share the cells evenly; the leftover goes to the last ones.
        const int label = labelCells / keys + (key >= keys - labelCells % keys ? 1 : 0);
        slots.push_back({x, numberWidth(key), label});
        x += numberWidth(key) + label;
    }
    return slots;
}

}  // namespace kestrova::host::tui
