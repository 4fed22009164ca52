#include "common/format_text.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

namespace kestrova {

namespace {

struct Directive {
    bool leftAlign = false;
    size_t width = 0;  // 0: no width
    char conversion = 0;
};

// Widths are 32-bit in the format; anything that does not fit counts as no width.
size_t WidthFromValue(int64_t value) {
    if (value <= 0 || value > std::numeric_limits<int32_t>::max()) return 0;
    return std::min(static_cast<size_t>(value), kMaxFormatWidth);
}

std::string Decimal(int64_t value) {
    return std::to_string(value);
}

// Negative values within 32 bits are written as their unsigned 32-bit value (-1 gives FFFFFFFF).
std::string Hexadecimal(int64_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    uint64_t v = value < 0 && value >= std::numeric_limits<int32_t>::min()
                     ? static_cast<uint32_t>(value)
                     : static_cast<uint64_t>(value);
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[v & 0xF]);
        v >>= 4;
    } while (v != 0);
    return digits;
}

bool HasInteger(const FormatArg& arg) {
    return arg.kind == FormatArg::Kind::Integer || arg.kind == FormatArg::Kind::Pointer;
}

struct Converted {
    std::string text;
    char fill;
};

// The converted text of one argument and the character that pads it; none for a conversion
// character the formatter does not know. A text for a number or a number for a text is empty.
std::optional<Converted> Convert(char conversion, const FormatArg& arg) {
    switch (conversion) {
        case 's':
            return Converted{HasInteger(arg) ? std::string() : arg.text, ' '};
        case 'd':
            return Converted{HasInteger(arg) ? Decimal(arg.integer) : std::string(), ' '};
        case 'D':
            return Converted{HasInteger(arg) ? Decimal(arg.integer) : std::string(), '0'};
        case 'x':
        case 'p':
            return Converted{HasInteger(arg) ? Hexadecimal(arg.integer) : std::string(), '0'};
        default:
            return std::nullopt;
    }
}

// Pads to the width, or keeps only the last `width` characters of a longer text. Zeros go after
// a minus sign, and never after a number (left alignment pads with spaces), so that the padded
// number keeps its value.
void ApplyWidth(std::string& text, size_t width, bool leftAlign, char fill) {
    if (width == 0) return;
    if (text.size() > width) {
        text.erase(0, text.size() - width);
        return;
    }
    size_t padding = width - text.size();
    if (leftAlign) {
        text.append(padding, ' ');
    } else if (fill == '0' && !text.empty() && text.front() == '-') {
        text.insert(1, padding, fill);
    } else {
        text.insert(0, padding, fill);
    }
}

}  // namespace

std::string FormatText(std::string_view format, std::span<const FormatArg> args) {
    std::string result;
    size_t argIndex = 0;
    size_t pos = 0;
    while (pos < format.size()) {
        size_t percent = format.find('%', pos);
        if (percent == std::string_view::npos) break;
        result.append(format.substr(pos, percent - pos));
        pos = percent + 1;

        Directive directive;
        if (pos < format.size() && format[pos] == '-') {
            directive.leftAlign = true;
            ++pos;
        }
        if (pos < format.size() && format[pos] == '*') {
            ++pos;
            if (argIndex < args.size() && args[argIndex].kind == FormatArg::Kind::Integer)
                directive.width = WidthFromValue(args[argIndex].integer);
            ++argIndex;
        } else {
            int64_t digits = 0;
            while (pos < format.size() && format[pos] >= '0' && format[pos] <= '9') {
                if (digits <= std::numeric_limits<int32_t>::max())
                    digits = digits * 10 + (format[pos] - '0');
                ++pos;
            }
            directive.width = WidthFromValue(digits);
        }
        // A directive cut off by the end of the format writes nothing.
        if (pos >= format.size()) return result;
        directive.conversion = format[pos++];

        if (directive.conversion == '%') {
            result += '%';
            continue;
        }
        if (directive.conversion == 'p' && directive.width == 0) directive.width = 8;
        size_t index = argIndex++;
        if (index >= args.size()) continue;
        std::optional<Converted> converted = Convert(directive.conversion, args[index]);
        if (!converted) continue;
        ApplyWidth(converted->text, directive.width, directive.leftAlign, converted->fill);
        result += converted->text;
    }
    if (pos < format.size()) result.append(format.substr(pos));
    return result;
}

}  // namespace kestrova
