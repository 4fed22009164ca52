#include "host/utf8_copy.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string_view>

#include "host/host_error.h"
#include "platform/codepages.h"
#include "platform/filesystem.h"

namespace kestrova::host {

std::string ReadFileBytes(const std::string& nativePath) {
    std::ifstream in(nativePath, std::ios::binary);
    if (!in) throw HostError("cannot read the file " + nativePath);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFileBytes(const std::string& nativePath, const std::string& bytes) {
    std::ofstream out(nativePath, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw HostError("cannot write the file " + nativePath);
}

namespace {

// Every CR LF of text as LF.
std::string WithLfEnds(std::string_view text) {
    std::string lines;
    lines.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lines += text[i];
    return lines;
}

// Every line end of text (LF, or CR LF as an editor may keep it) as CR LF.
std::string WithCrLfEnds(std::string_view text) {
    std::string lines;
    lines.reserve(text.size() + text.size() / 16);
    for (const char c : WithLfEnds(text)) {
        if (c == '\n') lines += '\r';
        lines += c;
    }
    return lines;
}

}  // namespace

bool EditAsUtf8(const std::string& oemPath, const std::function<void(const std::string&)>& edit) {
    const std::string native = platform::ToNativePath(oemPath);
    const std::string original = ReadFileBytes(native);
    const std::string copyPath = platform::CreateTempFile(platform::TempFolder(), "kes");
    if (copyPath.empty())
        throw HostError("cannot create a temporary file in " +
                        platform::ToNativePath(platform::TempFolder()));
    const std::string nativeCopy = platform::ToNativePath(copyPath);
    struct RemoveCopy {
        const std::string& path;
        ~RemoveCopy() { unlink(path.c_str()); }
    } removeCopy{nativeCopy};
    const bool crLf = original.find("\r\n") != std::string::npos;
    const std::string utf8 = platform::OemToUtf8(crLf ? WithLfEnds(original) : original);
    WriteFileBytes(nativeCopy, utf8);
    edit(nativeCopy);
    const std::string edited = ReadFileBytes(nativeCopy);
    if (edited == utf8) return false;
    const std::string converted = platform::Utf8ToOem(crLf ? WithCrLfEnds(edited) : edited);
    if (converted == original) return false;
    WriteFileBytes(native, converted);
    return true;
}

}  // namespace kestrova::host
