#include "ui/article_date.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

#include "common/oem_collation.h"
#include "platform/clock.h"

namespace kestrova {

namespace {

constexpr std::array<std::string_view, 12> kEnglishMonths = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The Russian three-letter month names.
constexpr std::array<std::string_view, 12> kRussianMonths = {
    "Янв", "Фев", "Мар", "Апр", "Май", "Июн", "Июл", "Авг", "Сен", "Окт", "Ноя", "Дек"};

enum class DateField { Day, Month, Year, Time, Done };

bool IsGapBeforeToken(char c) {
    return c == '\t' || c == ' ' || c == '\xFF';
}

// Sets field to the decimal number in text; a text that is not one leaves field unchanged.
bool ReadNumber(std::string_view text, uint16_t& field) {
    uint16_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    field = value;
    return true;
}

// 1 to 12, or 0 for a name found in neither row.
uint16_t MonthNumber(std::string_view name) {
    const TOemCollation collation;
    for (const auto& row : {kEnglishMonths, kRussianMonths}) {
        for (size_t i = 0; i < row.size(); ++i) {
            if (collation.CompareText(name, row[i]) == 0) return static_cast<uint16_t>(i + 1);
        }
    }
    return 0;
}

void ReadYear(std::string_view text, uint16_t& year) {
    uint16_t value = 0;
    if (!ReadNumber(text, value)) return;
    if (value < 50) {
        value += 2000;
    } else if (value < 100) {
        value += 1900;
    }
    year = value;
}

// "hh:mm:ss" or "hh:mm"; each part may have one or two digits.
void ReadTime(std::string_view text, SYSTEMTIME& st) {
    std::array<uint16_t*, 3> fields = {&st.wHour, &st.wMinute, &st.wSecond};
    st.wSecond = 0;
    for (uint16_t* field : fields) {
        const size_t colon = text.find(':');
        ReadNumber(text.substr(0, colon), *field);
        if (colon == std::string_view::npos) break;
        text.remove_prefix(colon + 1);
    }
}

}  // namespace

bool ParseArticleDate(std::string_view text, FILETIME& fileTime) {
    SYSTEMTIME st = platform::NowSystemTime();
    st.wMilliseconds = 0;

    DateField next = DateField::Day;
    size_t pos = 0;
    while (next != DateField::Done) {
        while (pos < text.size() && IsGapBeforeToken(text[pos])) ++pos;
        if (pos >= text.size()) break;
        const size_t end = std::min(text.find(' ', pos), text.size());
        const std::string_view token = text.substr(pos, end - pos);
        pos = end;

        switch (next) {
            case DateField::Day:
                if (token.find(',') != std::string_view::npos) continue;  // the weekday
                ReadNumber(token, st.wDay);
                next = DateField::Month;
                break;
            case DateField::Month:
                st.wMonth = MonthNumber(token);
                next = DateField::Year;
                break;
            case DateField::Year:
                ReadYear(token, st.wYear);
                next = DateField::Time;
                break;
            case DateField::Time:
                ReadTime(token, st);
                next = DateField::Done;
                break;
            case DateField::Done:
                break;
        }
    }
    return platform::SystemTimeToFileTime(st, fileTime);
}

std::string_view MonthName(unsigned month) {
    return kEnglishMonths[month >= 1 && month <= 12 ? month - 1 : 0];
}

}  // namespace kestrova
