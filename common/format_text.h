// The module's own message formatter: every message with arguments, every protocol line with
// numbers and every log line is built here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace kestrova {

// One tagged argument: an integer, a character, a pointer or a text.
struct FormatArg {
    enum class Kind { Integer, Character, Pointer, Text };

    FormatArg(int v) : kind(Kind::Integer), integer(v) {}
    FormatArg(unsigned v) : kind(Kind::Integer), integer(v) {}
    FormatArg(long v) : kind(Kind::Integer), integer(v) {}
    FormatArg(unsigned long v) : kind(Kind::Integer), integer(static_cast<int64_t>(v)) {}
    FormatArg(long long v) : kind(Kind::Integer), integer(v) {}
    FormatArg(unsigned long long v) : kind(Kind::Integer), integer(static_cast<int64_t>(v)) {}
    FormatArg(char c) : kind(Kind::Character), text(1, c) {}
    FormatArg(const void* p) : kind(Kind::Pointer), integer(reinterpret_cast<intptr_t>(p)) {}
    FormatArg(const char* s) : kind(Kind::Text), text(s ? s : "") {}
    FormatArg(std::string_view s) : kind(Kind::Text), text(s) {}
    FormatArg(const std::string& s) : kind(Kind::Text), text(s) {}

    Kind kind;
    int64_t integer = 0;
    std::string text;
};

// Widths beyond this many characters are cut to it, so that a faulty format cannot exhaust memory.
inline constexpr size_t kMaxFormatWidth = 65536;

// Directives: "%" [ "-" ] [ "*" | digits ] conversion, with the conversions s (text), d
// (decimal), D (decimal padded with zeros), x and p (upper-case hexadecimal padded with zeros; p
// has width 8 by default) and %% for a percent sign. Zeros pad on the left only, after a minus
// sign. A value longer than its width keeps its last characters. Missing arguments write nothing;
// the formatter never fails.
std::string FormatText(std::string_view format, std::span<const FormatArg> args);
inline std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args = {}) {
    return FormatText(format, std::span<const FormatArg>(args.begin(), args.size()));
}

}  // namespace kestrova
