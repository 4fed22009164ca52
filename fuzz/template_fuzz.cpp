// Expands arbitrary templates over an arbitrary source article, with an arbitrary item date and
// character-set column, and checks what a template can never do: make the cursor point past the
// lines written, or lose a template byte that is outside every macro.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/streams.h"
#include "ui/templates.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrova;
    FuzzedDataProvider input(data, size);
    TAccountOptions account;
    account.FromName = input.ConsumeRandomLengthString(16);
    TPostInfo post;
    post.Subject = input.ConsumeRandomLengthString(16);
    std::string charset = input.ConsumeRandomLengthString(12);
    char* columns[5] = {post.Subject.data(), nullptr, nullptr, nullptr, charset.data()};
    PluginPanelItem item{};
    item.FindData.ftCreationTime = {input.ConsumeIntegral<uint32_t>(),
                                    input.ConsumeIntegral<uint32_t>()};
    item.CustomColumnData = columns;
    item.CustomColumnNumber = input.ConsumeIntegralInRange(0, 5);
    const SYSTEMTIME now{input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint16_t>(),
                         input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint16_t>(),
                         input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint16_t>(),
                         input.ConsumeIntegral<uint16_t>(), 0};
    TMemoryStream source, output;
    source.WriteText(input.ConsumeRandomLengthString(256));
    const std::string templateText = input.ConsumeRemainingBytesAsString();

    const TTemplateSource from{account, post, source, item, now, '>'};
    const TCursorPlace cursor = ExpandTemplateText(from, templateText, output);

    std::string text(static_cast<size_t>(output.Size()), '\0');
    output.SetPosition(0);
    output.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
    const auto lines = std::count(text.begin(), text.end(), '\n') + 1;
    if (cursor.Line < 0 || cursor.Line > lines) std::abort();
    if (cursor.Line > 0 && cursor.Column < 1) std::abort();
    // Without "%" the template is copied as it stands.
    if (templateText.find('%') == std::string::npos && text != templateText) std::abort();
    return 0;
}
