#include "ui/file_helpers.h"

#include "common/text_utils.h"
#include "platform/filesystem.h"

namespace kestrova {

namespace {

constexpr char kDelim = platform::kPathDelim;

// One part (base or extension) of ApplyNameMask.
std::string ApplyMaskPart(std::string_view mask, std::string_view name) {
    std::string result;
    bool starSeen = false;
    for (size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        if (c == '*') {
            if (!starSeen && i < name.size()) result += name.substr(i);
            starSeen = true;
        } else if (c == '?') {
            if (!starSeen && i < name.size()) result += name[i];
        } else {
            result += c;
        }
    }
    return result;
}

bool IsInvalidFileNameChar(char c) {
    if (static_cast<unsigned char>(c) < 32) return true;
    return std::string_view("\"*/:<>?\\").find(c) != std::string_view::npos;
}

}  // namespace

bool DirectoryExists(std::string_view path) {
    return platform::DirectoryExists(path);
}

bool ForceDirectories(std::string_view path) {
    if (IsBlank(path)) return true;
    std::string_view dir = path;
    while (!dir.empty() && dir.back() == kDelim) dir.remove_suffix(1);
    if (dir.empty() || platform::DirectoryExists(dir)) return true;  // the root, or already there

    const size_t parentEnd = dir.rfind(kDelim);
    if (parentEnd != std::string_view::npos && !ForceDirectories(dir.substr(0, parentEnd + 1))) {
        return false;
    }
    // Another process may have made it in the meantime.
    return platform::CreateDirectory(dir) || platform::DirectoryExists(dir);
}

TTempFile::~TTempFile() {
    if (!name_.empty()) platform::DeleteFile(name_);
}

std::string GetTempFile() {
    const std::string folder = platform::TempFolder();
    if (folder.empty()) return {};
    return platform::CreateTempFile(folder, "");
}

void SplitPath(std::string_view path, char separator, std::string& directory, std::string& name) {
    const size_t pos = path.rfind(separator);
    if (pos == std::string_view::npos) {
        directory.clear();
        name.assign(path);
        return;
    }
    directory.assign(path.substr(0, pos + 1));
    name.assign(path.substr(pos + 1));
}

bool SplitFileName(std::string_view name, std::string& base, std::string& extension) {
    const size_t pos = name.rfind('.');
    if (pos == std::string_view::npos) {
        base.assign(name);
        extension.clear();
        return false;
    }
    base.assign(name.substr(0, pos));
    extension.assign(name.substr(pos + 1));
    return true;
}

std::string ApplyNameMask(std::string_view mask, std::string_view name) {
    const std::string trimmed = Trim(mask);
    if (trimmed.empty() || trimmed == "*" || trimmed == "*.*") return std::string(name);

    std::string maskBase, maskExtension, nameBase, nameExtension;
    const bool maskHasDot = SplitFileName(trimmed, maskBase, maskExtension);
    SplitFileName(name, nameBase, nameExtension);

    std::string result = ApplyMaskPart(maskBase, nameBase);
    if (maskHasDot) result += '.';
    result += ApplyMaskPart(maskExtension, nameExtension);
    return result;
}

std::string MakeValidFileName(std::string_view text, char keep) {
    std::string result(text);
    bool endOfComponent = true;  // only blanks lie between here and the end of a component
    for (size_t i = result.size(); i-- > 0;) {
        char& c = result[i];
        if (c == keep) {
            endOfComponent = true;
        } else if (c == ' ' && endOfComponent) {
            c = '_';
        } else {
            endOfComponent = false;
            if (IsInvalidFileNameChar(c)) c = '_';
        }
    }
    return result;
}

}  // namespace kestrova
