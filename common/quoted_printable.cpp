#include "common/quoted_printable.h"

namespace kestrova {

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool IsSoftLineBreak(std::string_view sequence) {
    return sequence == "=\n" || sequence == "=\r\n";
}

std::string Decode(std::string_view text, bool underscoreIsBlank) {
    std::string result;
    result.reserve(text.size());
    const auto copyLiteral = [&](std::string_view chars) {
        for (const char c : chars) result += underscoreIsBlank && c == '_' ? ' ' : c;
    };

    std::string pending;  // an escape sequence being read, always starting with "="
    for (const char c : text) {
        if (pending.empty()) {
            if (c == '=') {
                pending = c;
            } else {
                copyLiteral({&c, 1});
            }
            continue;
        }
        if (c == '=') {
            copyLiteral(pending);
            pending = c;
            continue;
        }
        pending += c;
        if (IsSoftLineBreak(pending)) {
            pending.clear();
        } else if (pending.size() == 3) {
            const int high = HexDigitValue(pending[1]);
            const int low = HexDigitValue(pending[2]);
            if (high >= 0 && low >= 0) {
                result += static_cast<char>(high << 4 | low);
            } else {
                copyLiteral(pending);
            }
            pending.clear();
        }
    }
    return result;
}

}  // namespace

std::string DecodeQuotedPrintable(std::string_view text) {
    return Decode(text, false);
}

std::string DecodeQEncodedText(std::string_view text) {
    return Decode(text, true);
}

}  // namespace kestrova
