#include "host/utf8_copy.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

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
    const std::string utf8 = platform::OemToUtf8(original);
    WriteFileBytes(nativeCopy, utf8);
    edit(nativeCopy);
    const std::string edited = ReadFileBytes(nativeCopy);
    if (edited == utf8) return false;
    const std::string converted = platform::Utf8ToOem(edited);
    if (converted == original) return false;
    WriteFileBytes(native, converted);
    return true;
}

}  // namespace kestrova::host
