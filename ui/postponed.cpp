#include "ui/postponed.h"

#include <algorithm>

#include "common/errors.h"
#include "common/format_text.h"
#include "common/streams.h"
#include "platform/filesystem.h"
#include "ui/file_helpers.h"

namespace kestrova {
namespace {

constexpr size_t kSubjectInName = 60;
constexpr int kNameTries = 1000;

}  // namespace

std::string PostponedFolder() {
    const std::string folder = platform::HomeFolder() + platform::kPathDelim + "Postponed";
    if (!platform::DirectoryExists(folder)) platform::CreatePrivateDirectory(folder);
    return folder;
}

std::string KeepPostponed(TStream& headers, std::string_view text, std::string_view subject) {
    const std::string stem = PostponedFolder() + platform::kPathDelim +
                             MakeValidFileName(subject.substr(0, kSubjectInName), 0);
    std::string name = stem + ".txt";
    for (int n = 2; platform::FileExists(name) && n <= kNameTries; ++n)
        name = stem + FormatText(" (%d).txt", {n});
    if (platform::FileExists(name))  // never over a kept article
        throw EFCreateError(kItemFailure, FormatText("Cannot create file '%s'", {name}), "Create");
    TFileStream file(name, kFileCreate);
    const std::string lines = headers.ReadText();
    for (size_t pos = 0; pos < lines.size();) {
        const size_t end = std::min(lines.find('\n', pos), lines.size() - 1) + 1;
        const std::string_view line = std::string_view(lines).substr(pos, end - pos);
        if (!line.starts_with("Date:")) file.WriteText(line);
        pos = end;
    }
    file.WriteText("\r\n");
    file.WriteText(text);
    return name;
}

}  // namespace kestrova
