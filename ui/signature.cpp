#include "ui/signature.h"

#include <cstdlib>
#include <fstream>

#include "platform/filesystem.h"

namespace kestrova {
namespace {

constexpr std::string_view kSeparator = "-- \n";

bool HasSeparatorLine(std::string_view text) {
    return text.starts_with(kSeparator) || text.find("\n-- \n") != std::string_view::npos ||
           text.starts_with("-- \r\n") || text.find("\n-- \r\n") != std::string_view::npos;
}

}  // namespace

std::string WithHomeFolder(const std::string& fileName) {
    if (!fileName.starts_with("~/")) return fileName;
    const char* home = std::getenv("HOME");
    return home ? platform::FromNativePath(home) + fileName.substr(1) : std::string();
}

std::string ReadSignature(const std::string& fileName) {
    const std::string path = WithHomeFolder(fileName);
    if (path.empty() || !platform::FileExists(path)) return {};
    std::ifstream file(platform::ToNativePath(path), std::ios::binary);
    std::string text(kSignatureLimit, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(file.gcount()));
    for (std::string_view separator : {"-- \n", "-- \r\n"})
        if (text.starts_with(separator)) text.erase(0, separator.size());
    return text;
}

std::string WithSignature(std::string text, std::string_view signature) {
    if (signature.empty() || HasSeparatorLine(text)) return text;
    if (!text.empty() && !text.ends_with('\n')) text += '\n';
    text += kSeparator;
    text += signature;
    if (!text.ends_with('\n')) text += '\n';
    return text;
}

}  // namespace kestrova
