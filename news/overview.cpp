#include "news/overview.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <system_error>

#include "ui/char_tables.h"

namespace kestrova {

namespace {

// The field's name: "Subject:" and ":lines" both name their header, any case.
std::string FieldName(std::string_view line) {
    const size_t colon = line.find(':');
    const std::string_view name = colon == 0 ? line.substr(1) : line.substr(0, colon);
    std::string lower(name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::vector<std::string_view> TabFields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const size_t tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return fields;
        line.remove_prefix(tab + 1);
    }
}

}  // namespace

TOverviewFormat OverviewFormatOf(const std::vector<std::string>& lines) {
    TOverviewFormat format{-1, -1, -1, -1, -1, -1};
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string name = FieldName(lines[i]);
        const int at = static_cast<int>(i);
        if (name == "subject") format.Subject = at;
        if (name == "from") format.From = at;
        if (name == "date") format.Date = at;
        if (name == "message-id") format.MessageId = at;
        if (name == "references") format.References = at;
        if (name == "lines") format.Lines = at;
    }
    return format;
}

bool ApplyOverviewLine(std::string_view line, const TOverviewFormat& format, TArticleHeader& record,
                       THeaderExtras& extras) {
    const std::vector<std::string_view> fields = TabFields(line);
    int32_t number = 0;
    const std::string_view first = fields.front();
    const auto [end, error] = std::from_chars(first.data(), first.data() + first.size(), number);
    if (error != std::errc() || end != first.data() + first.size() || number <= 0) return false;
    record = TArticleHeader{};
    record.Number = number;
    record.CharTable = kNoSlot;
    record.Flags = kFromOverview;
    const auto field = [&](int at) {
        const size_t index = static_cast<size_t>(at) + 1;
        return at >= 0 && index < fields.size() ? fields[index] : std::string_view();
    };
    record.MessageId = std::string(field(format.MessageId));
    // The header lines the fields were taken from, read as a header is.
    extras = THeaderExtras{};
    for (const auto& [name, at] :
         {std::pair{"Subject: ", format.Subject}, std::pair{"From: ", format.From},
          std::pair{"Date: ", format.Date}, std::pair{"References: ", format.References},
          std::pair{"Lines: ", format.Lines}}) {
        if (!field(at).empty())
            ApplyHeaderLine(std::string(name) + std::string(field(at)), record, extras);
    }
    return true;
}

}  // namespace kestrova
