// Where a copied-out item goes, for any download template, subject, author, number and
// destination mask: the target is always one name directly inside the chosen folder (no
// separator, no NUL, never "." or ".."), and the name's UTF-8 form fits the file system.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/codepages.h"
#include "plugin/target_names.h"
#include "ui/download_name.h"

namespace {

constexpr char kFolder[] = "/chosen/";

void Check(bool condition) {
    if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string downloadTemplate = input.ConsumeRandomLengthString(512);
    std::string mask = input.ConsumeRandomLengthString(64);
    if (mask.find('/') != std::string::npos) mask.clear();  // the folder ends at its last "/"
    kestrova::TFindItem record;
    record.FindData.dwFileAttributes = input.ConsumeBool() ? FILE_ATTRIBUTE_DIRECTORY : 0;
    record.Number = input.ConsumeIntegral<int32_t>();
    record.ColumnText = input.ConsumeRandomLengthString(128);
    const std::string subject = input.ConsumeRemainingBytesAsString();
    subject.copy(record.FindData.cFileName, sizeof record.FindData.cFileName - 1);

    const kestrova::TTargetNames names =
        kestrova::MakeArticleTargetNames(record, kFolder + mask, '/', downloadTemplate);
    const bool folder = record.FindData.dwFileAttributes != 0;
    std::string name = folder ? names.Dir.substr(sizeof kFolder - 1) : names.Name;
    if (folder) {
        Check(!name.empty() && name.back() == '/');
        name.pop_back();
    } else {
        Check(names.Dir == kFolder);
    }
    Check(!name.empty() && name != "." && name != "..");
    Check(name.find('/') == std::string::npos && name.find('\0') == std::string::npos);
    Check(kestrova::platform::OemToUtf8(name).size() <= kestrova::kMaxFileNameBytes);
    return 0;
}
