#include "host/dir_lists.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/filesystem.h"

namespace kestrova::host {
namespace {

bool IsDotName(const std::string& name) {
    return name == "." || name == "..";
}

void WalkLocal(const std::filesystem::path& folder, const std::string& prefix, PanelItemList& out) {
    std::vector<std::filesystem::path> entries;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error))
        entries.push_back(it->path());
    std::sort(entries.begin(), entries.end());
    for (const std::filesystem::path& entry : entries) {
        const std::string name = prefix + platform::FromNativePath(entry.filename().string());
        FAR_FIND_DATA data{};
        if (!platform::GetFindData(platform::FromNativePath(entry.string()), data)) continue;
        out.Add(data, name);
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !std::filesystem::is_symlink(entry))
            WalkLocal(entry, name + platform::kPathDelim, out);
    }
}

void WalkPlugin(ModuleCalls& module, HANDLE plugin, const std::string& prefix, PanelItemList& out) {
    PluginPanelItem* items = nullptr;
    int count = 0;
    module.GetFindData(plugin, &items, &count, OPM_FIND);
    std::vector<std::string> folders;
    for (int i = 0; i < count; ++i) {
        const std::string name = ItemName(items[i]);
        if (IsDotName(name)) continue;
        SetItemName(out.Add(items[i]).FindData, prefix + name);
        if (IsFolder(items[i])) folders.push_back(name);
    }
    if (items) module.FreeFindData(plugin, items, count);
    for (const std::string& folder : folders) {
        if (!module.SetDirectory(plugin, folder, OPM_FIND)) continue;
        WalkPlugin(module, plugin, prefix + folder + "\\", out);
        module.SetDirectory(plugin, "..", OPM_FIND);
    }
}

}  // namespace

bool CollectLocalTree(const std::string& dir, PanelItemList& out) {
    std::error_code error;
    const std::filesystem::path folder =
        std::filesystem::absolute(platform::ToNativePath(dir), error).lexically_normal();
    if (error || !std::filesystem::is_directory(folder, error)) return false;
    std::filesystem::path name = folder.filename();
    if (name.empty())  // "dir/" names its last component before the delimiter
        name = folder.parent_path().filename();
    WalkLocal(folder, platform::FromNativePath(name.string()) + platform::kPathDelim, out);
    return true;
}

bool CollectPluginTree(ModuleCalls& module, HANDLE plugin, const std::string& dir,
                       PanelItemList& out) {
    const std::string start = module.CurrentFolder(plugin);
    if (!module.SetDirectory(plugin, dir, OPM_FIND)) return false;
    std::string name = dir;
    while (!name.empty() && name.back() == '\\') name.pop_back();
    name =
        name.substr(name.find_last_of('\\') == std::string::npos ? 0 : name.find_last_of('\\') + 1);
    WalkPlugin(module, plugin, name + "\\", out);
    module.SetDirectory(plugin, "..", OPM_FIND);
    if (module.CurrentFolder(plugin) != start) module.SetDirectory(plugin, start, OPM_FIND);
    return true;
}

}  // namespace kestrova::host
