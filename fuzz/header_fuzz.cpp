// HEAD replies on any bytes: the first line as the status line, every other line as a header
// line. The record must survive writing and reading its 1182 bytes with each text cut to its
// field, and its panel item must build and free cleanly.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "news/article_header.h"
#include "ui/panel_items.h"

namespace {

bool CutEqual(const std::string& stored, const std::string& original, size_t fieldSize) {
    const std::string cut = original.substr(0, fieldSize - 1);
    return stored == cut.substr(0, cut.find('\0'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrova;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    TArticleHeader record;
    THeaderExtras extras;
    size_t start = 0;
    bool first = true;
    while (start <= input.size()) {
        size_t end = input.find('\n', start);
        if (end == std::string_view::npos) end = input.size();
        const std::string_view line = input.substr(start, end - start);
        if (first) {
            ApplyHeadStatus(line, record);
        } else {
            ApplyHeaderLine(line, record, extras);
        }
        first = false;
        start = end + 1;
    }
    if (NumberFromXref(extras.Xref, "alt.test") < 0) abort();

    char bytes[TArticleHeader::kSize];
    record.Write(bytes);
    const TArticleHeader back = TArticleHeader::Read(bytes);
    if (back.Number != record.Number || back.Lines != record.Lines ||
        back.CharTable != record.CharTable ||
        !CutEqual(back.Subject, record.Subject, TArticleHeader::kLongText) ||
        !CutEqual(back.MessageId, record.MessageId, TArticleHeader::kLongText) ||
        !CutEqual(back.From, record.From, TArticleHeader::kShortText) ||
        !CutEqual(back.PathHeader, record.PathHeader, TArticleHeader::kLongText)) {
        abort();
    }

    TPanelItemList items;
    TArticleTables tables(-4);
    AddArticleItem(items, bytes, tables);
    PluginPanelItem* array = nullptr;
    int count = 0;
    items.Release(array, count);
    if (count != 1 || array[0].CustomColumnNumber != 5) abort();
    FreePanelItems(array, count);
    return 0;
}
