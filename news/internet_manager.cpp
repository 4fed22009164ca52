#include "news/internet_manager.h"

#include "common/errors.h"
#include "common/text_utils.h"

namespace kestrova {

void TInternetManager::SetPath(const std::string& path) {
    Path = path;
    if (Path.size() > 1 && Path.back() == Delimiter) Path.pop_back();
}

std::string TInternetManager::GetPath() {
    return Path;
}

void TInternetManager::SetDirectory(const std::string& name) {
    if (name == ".." && WordCount(Path, Delimiter) <= 1) throw EInternetLeave();
}

void TInternetManager::GetOpenPluginInfo(OpenPluginInfo& info, std::string& /*descriptor*/) {
    info.Flags |= OPIF_USEFILTER | OPIF_USESORTGROUPS | OPIF_USEHIGHLIGHTING;
}

void TInternetManager::StartAction(int /*action*/) {}

void TInternetManager::StopAction(int /*action*/) {}

int TInternetManager::DoEvent(int kind, intptr_t param1, intptr_t param2) {
    return OnEvent ? OnEvent(kind, param1, param2) : 0;
}

}  // namespace kestrova
