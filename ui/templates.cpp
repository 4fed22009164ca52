#include "ui/templates.h"

#include <array>

#include "common/format_text.h"
#include "common/streams.h"
#include "platform/clock.h"
#include "platform/filesystem.h"
#include "ui/article_date.h"
#include "ui/char_tables.h"

namespace kestrova {
namespace {

struct MacroName {
    const char* Token;
    int Code;
};

constexpr std::array<MacroName, 14> kMacros = {{
    {"%FName%", kMacroFromName},
    {"%FAddress%", kMacroFromAddr},
    {"%FOrg%", kMacroFromOrg},
    {"%FDate%", kMacroDate},
    {"%FTime%", kMacroTime},
    {"%Subject%", kMacroSubject},
    {"%OName%", kMacroAuthor},
    {"%From%", kMacroAuthor},
    {"%ODate%", kMacroItemDate},
    {"%OTime%", kMacroItemTime},
    {"%Quote%", kMacroQuote},
    {"%Text%", kMacroText},
    {"%Cursor%", kMacroCursor},
    {"%Number%", kMacroNumber},
}};

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameAsciiText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

// "7 Dec 2026", as dates are written in text.
std::string DateText(const SYSTEMTIME& t) {
    return FormatText("%d %s %d", {t.wDay, MonthName(t.wMonth), t.wYear});
}

// "07:04:09": two digits each.
std::string TimeText(const SYSTEMTIME& t) {
    return FormatText("%2D:%2D:%2D", {t.wHour, t.wMinute, t.wSecond});
}

SYSTEMTIME ItemTime(const PluginPanelItem& item) {
    SYSTEMTIME t{};
    platform::FileTimeToSystemTime(item.FindData.ftCreationTime, t);
    return t;
}

// The table code of the source's character set: the slot named in the item's fifth column.
int SourceTableCode(const PluginPanelItem& item) {
    constexpr int kCharsetColumn = 4;
    if (item.CustomColumnNumber <= kCharsetColumn || !item.CustomColumnData ||
        !item.CustomColumnData[kCharsetColumn])
        return kDefaultTable;
    return SlotTableCode(SlotIndex(item.CustomColumnData[kCharsetColumn]));
}

class TExpansion {
  public:
    TExpansion(const TTemplateSource& from, TStream& output) : from_(from), output_(output) {}

    TCursorPlace Run(std::string_view text) {
        for (const char c : text) {
            if (c == '\n') {
                line_ += c;
                Flush();
                ++lineNumber_;
            } else if (c == '%') {
                token_ += c;
                if (token_.size() > 1) {
                    Expand(MacroCode(token_));
                    token_.clear();
                }
            } else if (!token_.empty()) {
                token_ += c;
            } else {
                line_ += c;
            }
        }
        Flush();
        return cursor_;
    }

  private:
    void Flush() {
        output_.WriteText(line_);
        line_.clear();
    }

    void Expand(int code) {
        const TAccountOptions& account = from_.Account;
        switch (code) {
            case kMacroFromName:
                line_ += account.FromName;
                break;
            case kMacroFromAddr:
                line_ += account.FromAddr;
                break;
            case kMacroFromOrg:
                line_ += account.Organization;
                break;
            case kMacroDate:
                line_ += DateText(from_.Now);
                break;
            case kMacroTime:
                line_ += TimeText(from_.Now);
                break;
            case kMacroSubject:
                line_ += from_.Post.Subject;
                break;
            case kMacroAuthor:
                line_ += from_.Post.Author;
                break;
            case kMacroItemDate:
                line_ += DateText(ItemTime(from_.Item));
                break;
            case kMacroItemTime:
                line_ += TimeText(ItemTime(from_.Item));
                break;
            case kMacroQuote:
                Quote(line_ + from_.QuoteChar, true);
                break;
            case kMacroText:
                Quote(line_, false);
                break;
            case kMacroCursor:
                cursor_ = {lineNumber_, static_cast<int>(line_.size()) + 1};
                break;
            case kMacroNumber:
                break;
            default:
                line_ += token_;
                break;
        }
    }

    // Writes the source line by line, each after prefix; with quoteMark, a space follows the
    // prefix unless the line is empty or quoted already, so text reads "> text" and a quoted
    // line ">> text". The template's line buffer stays as it is, so the text around the macro
    // follows the quotation.
    void Quote(const std::string& prefix, bool quoteMark) {
        const std::string source = from_.Source.ReadText();
        const int code = SourceTableCode(from_.Item);
        for (size_t start = 0; start < source.size();) {
            size_t end = source.find('\n', start);
            const std::string line =
                DecodeText(code, end == std::string::npos ? source.substr(start) + '\n'
                                                          : source.substr(start, end + 1 - start));
            output_.WriteText(prefix);
            if (quoteMark && line[0] != from_.QuoteChar && line[0] != '\n' && line[0] != '\r')
                output_.WriteText(" ");
            output_.WriteText(line);
            ++lineNumber_;
            start = end == std::string::npos ? source.size() : end + 1;
        }
    }

    const TTemplateSource& from_;
    TStream& output_;
    std::string line_;
    std::string token_;
    int lineNumber_ = 1;
    TCursorPlace cursor_;
};

}  // namespace

int MacroCode(std::string_view token) {
    for (const MacroName& macro : kMacros)
        if (SameAsciiText(token, macro.Token)) return macro.Code;
    return kMacroNone;
}

TCursorPlace ExpandTemplateText(const TTemplateSource& from, std::string_view templateText,
                                TStream& output) {
    return TExpansion(from, output).Run(templateText);
}

TCursorPlace ExpandTemplate(const TTemplateSource& from, const std::string& templateFile,
                            TStream& output) {
    if (templateFile.empty() || !platform::FileExists(templateFile)) {
        output.CopyFrom(from.Source, 0);
        return {};
    }
    TFileStream file(templateFile, 0);
    return ExpandTemplateText(from, file.ReadText(), output);
}

}  // namespace kestrova
