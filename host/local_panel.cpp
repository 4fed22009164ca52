#include "host/local_panel.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "host/host_error.h"
#include "platform/codepages.h"
#include "platform/filesystem.h"

namespace kestrova::host {
namespace {

std::filesystem::path Absolute(const std::filesystem::path& base, const std::string& oemFolder) {
    std::filesystem::path path = platform::ToNativePath(oemFolder);
    if (path.is_relative()) path = base / path;
    return path.lexically_normal();
}

// A name typed or listed in folder as a path on disk; ".." and an empty name are refused.
std::filesystem::path NativeIn(const std::string& folder, const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        throw HostError("not a name for this: \"" + platform::OemToUtf8(name) + "\"");
    return Absolute(platform::ToNativePath(folder), name);
}

std::string WithoutTrailingDelimiter(std::string path) {
    while (path.size() > 1 && path.back() == platform::kPathDelim) path.pop_back();
    return path;
}

}  // namespace

LocalPanel::LocalPanel(const std::string& folder) {
    if (!ChangeFolder(folder)) throw HostError("not a folder: " + platform::ToNativePath(folder));
}

bool LocalPanel::ChangeFolder(const std::string& folder) {
    std::error_code error;
    const std::filesystem::path base = folder_.empty()
                                           ? std::filesystem::current_path(error)
                                           : std::filesystem::path(platform::ToNativePath(folder_));
    const std::filesystem::path path = Absolute(base, folder);
    if (!std::filesystem::is_directory(path, error)) return false;
    folder_ = WithoutTrailingDelimiter(platform::FromNativePath(path.string()));
    SelectAll(false);
    SetCursor(0, 0);
    Reread();
    return true;
}

std::string LocalPanel::PathOf(const std::string& name) const {
    if (name == "..")
        return platform::FromNativePath(
            std::filesystem::path(platform::ToNativePath(folder_)).parent_path().string());
    return folder_ == "/" ? "/" + name : folder_ + platform::kPathDelim + name;
}

void LocalPanel::MakeFolder(const std::string& name) const {
    std::error_code error;
    const std::filesystem::path path = NativeIn(folder_, name);
    if (std::filesystem::exists(std::filesystem::symlink_status(path, error)))
        throw HostError("already exists: " + path.string());
    if (!std::filesystem::create_directories(path, error))
        throw HostError("cannot make the folder " + path.string() + ": " + error.message());
}

bool LocalPanel::IsFilledFolder(const std::string& name) const {
    std::error_code error;
    const std::filesystem::path path = NativeIn(folder_, name);
    return std::filesystem::is_directory(std::filesystem::symlink_status(path, error)) &&
           !std::filesystem::is_empty(path, error);
}

void LocalPanel::Delete(const std::string& name, bool withContents) const {
    std::error_code error;
    const std::filesystem::path path = NativeIn(folder_, name);
    // Neither call follows a link: a link to a folder goes, the folder stays.
    const bool done = withContents ? std::filesystem::remove_all(path, error) > 0
                                   : std::filesystem::remove(path, error);
    if (!done || error)
        throw HostError("cannot delete " + path.string() + ": " +
                        (error ? error.message() : "it is not there"));
}

void LocalPanel::List(PanelItemList& items) {
    const std::filesystem::path folder = platform::ToNativePath(folder_);
    if (folder.has_relative_path()) {
        FAR_FIND_DATA dots{};
        dots.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        items.Add(dots, "..");
    }
    struct Entry {
        std::string Name;
        FAR_FIND_DATA Data;
    };
    std::vector<Entry> entries;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        Entry entry{platform::FromNativePath(it->path().filename().string()), {}};
        if (platform::GetFindData(PathOf(entry.Name), entry.Data)) entries.push_back(entry);
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const bool aFolder = a.Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        const bool bFolder = b.Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        return aFolder != bFolder ? aFolder : a.Name < b.Name;
    });
    for (const Entry& entry : entries) items.Add(entry.Data, entry.Name);
}

}  // namespace kestrova::host
