#include "plugin/nntp_plugin.h"

#include <string_view>

#include "common/errors.h"
#include "common/text_utils.h"

namespace kestrova {
namespace {

constexpr std::string_view kAccountFileSignature = "[Kestrova]";

}  // namespace

bool HasAccountFileSignature(const unsigned char* data, int dataSize) {
    const int length = static_cast<int>(kAccountFileSignature.size());
    if (!data || dataSize < length) return false;
    const std::string_view head(reinterpret_cast<const char*>(data), length);
    return CompareTextOemN(head, kAccountFileSignature, length) == 0;
}

TNntpPlugin::~TNntpPlugin() {
    Mode = PanelMode::Closing;
}

void TNntpPlugin::OpenFilePlugin(const char*, const unsigned char* data, int dataSize) {
    if (!HasAccountFileSignature(data, dataSize)) throw EAbort();
}

void TNntpPlugin::GetOpenPluginInfo(OpenPluginInfo&) {}

int TNntpPlugin::GetFindData(PluginPanelItem** items, int* itemsNumber, int) {
    *items = nullptr;
    *itemsNumber = 0;
    return 1;
}

// Nothing to free: an inactive object never hands out items.
void TNntpPlugin::FreeFindData(PluginPanelItem*, int) {}

int TNntpPlugin::GetFiles(PluginPanelItem*, int, int, const std::string&, int) {
    return 0;
}

int TNntpPlugin::PutFiles(PluginPanelItem*, int, int, int) {
    return 0;
}

int TNntpPlugin::SetDirectory(const std::string&, int) {
    return 0;
}

int TNntpPlugin::MakeDirectory(char*, int) {
    return 0;
}

int TNntpPlugin::DeleteFiles(PluginPanelItem*, int, int) {
    return 0;
}

int TNntpPlugin::ProcessKey(int, unsigned) {
    return 0;
}

}  // namespace kestrova
