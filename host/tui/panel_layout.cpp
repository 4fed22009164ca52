#include "host/tui/panel_layout.h"

#include <algorithm>
#include <charconv>

#include "host/panel_view.h"
#include "platform/clock.h"
#include "platform/display_width.h"

namespace kestrova::host::tui {
namespace {

constexpr int kPanelsBottomGap = 2;  // the command line and the key bar

std::vector<std::string_view> Split(std::string_view text) {
    std::vector<std::string_view> parts;
    if (text.empty()) return parts;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        parts.push_back(
            text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos) return parts;
        start = comma + 1;
    }
}

struct ColumnWidth {
    int Value = 0;
    bool Percent = false;
};

ColumnWidth ParseWidth(std::string_view text) {
    ColumnWidth rule;
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    std::from_chars(text.data(), text.data() + text.size(), rule.Value);
    rule.Percent = text.find('%') != std::string_view::npos;
    rule.Value = std::clamp(rule.Value, 0, rule.Percent ? 100 : 1000);
    return rule;
}

std::string Digits(uint64_t value, int width) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), '0');
    return text;
}

}  // namespace

ScreenLayout LayoutScreen(int width, int height) {
    ScreenLayout layout;
    const int panelHeight = std::max(height - kPanelsBottomGap, 0);
    const int leftWidth = width / 2;
    layout.Left = {0, 0, leftWidth, panelHeight};
    layout.Right = {leftWidth, 0, width - leftWidth, panelHeight};
    layout.CommandLineY = height - 2;
    layout.KeyBarY = height - 1;
    return layout;
}

PanelRows LayoutPanelRows(const Rect& frame) {
    PanelRows rows;
    rows.TitlesY = frame.Y + 1;
    rows.FirstItemY = frame.Y + 2;
    rows.SeparatorY = frame.Bottom() - 2;
    rows.StatusY = frame.Bottom() - 1;
    rows.ItemRows = std::max(rows.SeparatorY - rows.FirstItemY, 0);
    return rows;
}

std::vector<Column> LayoutColumns(std::string_view types, std::string_view widths,
                                  const std::vector<std::string>& titles, int innerWidth) {
    const std::vector<std::string_view> typeList = Split(types);
    const std::vector<std::string_view> widthList = Split(widths);
    std::vector<Column> columns;
    std::vector<ColumnWidth> rules;
    for (size_t i = 0; i < typeList.size(); ++i) {
        const std::string_view type = typeList[i];
        if (type.empty() || std::string_view("NSDTZC").find(type[0]) == std::string_view::npos)
            continue;
        Column column;
        column.Type = type[0];
        if (column.Type == 'C') {
            if (type.size() < 2 || type[1] < '0' || type[1] > '9') continue;
            column.CustomIndex = type[1] - '0';
        }
        if (i < titles.size()) column.Title = titles[i];
        columns.push_back(column);
        ColumnWidth rule = i < widthList.size() ? ParseWidth(widthList[i]) : ColumnWidth{};
        // Dates and times have a natural width; names, descriptions and custom texts stretch.
        if (rule.Value == 0 && column.Type == 'D') rule.Value = 8;
        if (rule.Value == 0 && column.Type == 'T') rule.Value = 5;
        rules.push_back(rule);
    }
    // Drop columns from the right until the fixed widths and separators fit.
    while (!columns.empty()) {
        int fixed = static_cast<int>(columns.size()) - 1;
        for (size_t i = 0; i < columns.size(); ++i)
            fixed += rules[i].Percent ? innerWidth * rules[i].Value / 100 : rules[i].Value;
        if (fixed <= innerWidth) break;
        columns.pop_back();
        rules.pop_back();
    }
    int used = static_cast<int>(columns.size()) - (columns.empty() ? 0 : 1);
    int flexible = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        columns[i].Width = rules[i].Percent ? innerWidth * rules[i].Value / 100 : rules[i].Value;
        used += columns[i].Width;
        if (columns[i].Width == 0) ++flexible;
    }
    int spare = std::max(innerWidth - used, 0);
    int x = 0;
    for (Column& column : columns) {
        if (column.Width == 0 && flexible > 0) {
            column.Width = spare / flexible;
            spare -= column.Width;
            --flexible;
        }
        column.X = x;
        x += column.Width + 1;
    }
    return columns;
}

std::string Fit(std::string_view text, int width, bool alignRight) {
    if (width <= 0) return {};
    const std::string_view shown = text.substr(0, platform::PrefixForWidth(text, width));
    const std::string padding(static_cast<size_t>(width - platform::TextWidth(shown)), ' ');
    return alignRight ? padding + std::string(shown) : std::string(shown) + padding;
}

std::string CellText(const PluginPanelItem& item, const Column& column) {
    const int width = column.Width;
    switch (column.Type) {
        case 'N': {
            const std::string name = ItemName(item);
            if (platform::TextWidth(name) <= width || width < 2) return Fit(name, width);
            return Fit(name.substr(0, platform::PrefixForWidth(name, width - 1)) + '}', width);
        }
        case 'S': {
            if (IsDotDot(item)) return Fit("Up", width, true);
            if (IsFolder(item)) return Fit("Folder", width, true);
            const uint64_t size =
                (uint64_t{item.FindData.nFileSizeHigh} << 32) | item.FindData.nFileSizeLow;
            std::string text = std::to_string(size);
            if (static_cast<int>(text.size()) > width) text = std::to_string(size >> 10) + "K";
            if (static_cast<int>(text.size()) > width) text = std::to_string(size >> 20) + "M";
            return Fit(text, width, true);
        }
        case 'D':
        case 'T': {
            FILETIME local{};
            SYSTEMTIME time{};
            if (platform::FileTimeToU64(item.FindData.ftLastWriteTime) == 0 ||
                !platform::FileTimeToLocalFileTime(item.FindData.ftLastWriteTime, local) ||
                !platform::FileTimeToSystemTime(local, time))
                return Fit("", width);
            if (column.Type == 'T')
                return Fit(Digits(time.wHour, 2) + ":" + Digits(time.wMinute, 2), width, true);
            return Fit(Digits(time.wDay, 2) + "." + Digits(time.wMonth, 2) + "." +
                           Digits(time.wYear % 100, 2),
                       width, true);
        }
        case 'Z':
            return Fit(item.Description ? item.Description : "", width);
        case 'C':
            if (column.CustomIndex < item.CustomColumnNumber && item.CustomColumnData &&
                item.CustomColumnData[column.CustomIndex])
                return Fit(item.CustomColumnData[column.CustomIndex], width);
            return Fit("", width);
    }
    return Fit("", width);
}

}  // namespace kestrova::host::tui
