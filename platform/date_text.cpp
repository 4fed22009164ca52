// Date and time of a log line in the locale's short date order.
#include <langinfo.h>

#include <array>

#include "platform/clock.h"

namespace kestrova::platform {

namespace {

enum class DateField { Day, Month, Year };

// The number in decimal, zero-padded to width; a longer number keeps its last width digits.
std::string Digits(unsigned value, size_t width) {
    std::string text = std::to_string(value);
    if (text.size() < width) return std::string(width - text.size(), '0') + text;
    return text.substr(text.size() - width);
}

struct DateOrder {
    std::array<DateField, 3> fields{};
    size_t count = 0;
    char separator = '\0';

    void Add(DateField field) {
        if (count < fields.size()) fields[count] = field;
        ++count;
    }
};

// Reads the order of day, month and year and the first literal character after the first field.
void ReadDateOrder(std::string_view format, DateOrder& order) {
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            if (order.count > 0 && order.separator == '\0') order.separator = format[i];
            continue;
        }
        // Skip padding flags and the E/O modifiers before the conversion character.
        while (++i < format.size() &&
               std::string_view("-_0^#EO").find(format[i]) != std::string_view::npos) {
        }
        if (i >= format.size()) break;
        switch (format[i]) {
            case 'd':
            case 'e':
                order.Add(DateField::Day);
                break;
            case 'm':
            case 'b':
            case 'B':
            case 'h':
                order.Add(DateField::Month);
                break;
            case 'y':
            case 'Y':
                order.Add(DateField::Year);
                break;
            case 'D':
                ReadDateOrder("%m/%d/%y", order);
                break;
            case 'F':
                ReadDateOrder("%Y-%m-%d", order);
                break;
            default:
                break;
        }
    }
}

}  // namespace

std::string ShortDateText(const SYSTEMTIME& local) {
    return ShortDateText(local, nl_langinfo(D_FMT));
}

std::string ShortDateText(const SYSTEMTIME& local, std::string_view dateFormat) {
    DateOrder order;
    ReadDateOrder(dateFormat, order);
    const bool complete = order.count == 3 && order.fields[0] != order.fields[1] &&
                          order.fields[1] != order.fields[2] && order.fields[0] != order.fields[2];
    if (!complete || order.separator == '\0') {
        order.fields = {DateField::Day, DateField::Month, DateField::Year};
        order.separator = '.';
    }

    std::string text;
    for (DateField field : order.fields) {
        if (!text.empty()) text += order.separator;
        switch (field) {
            case DateField::Day:
                text += Digits(local.wDay, 2);
                break;
            case DateField::Month:
                text += Digits(local.wMonth, 2);
                break;
            case DateField::Year:
                text += Digits(local.wYear, 4);
                break;
        }
    }
    return text;
}

std::string LongTimeText(const SYSTEMTIME& local) {
    return Digits(local.wHour, 2) + ":" + Digits(local.wMinute, 2) + ":" + Digits(local.wSecond, 2);
}

}  // namespace kestrova::platform
