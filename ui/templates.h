// Templates of new articles and replies: a template file is text with macros, words between two
// "%" signs (any letter case), that expand into the author's fields, dates, the subject and the
// quoted source article; %Cursor% marks where the editor opens.
#pragma once

#include <string>
#include <string_view>

#include "hostapi/plugin_api.h"
#include "ui/account_options.h"
#include "ui/post_info.h"

namespace kestrova {

class TStream;

// Codes of the macros.
enum MacroCodes : int {
    kMacroNone = 0,      // not a macro: the token stays in the text with its signs
    kMacroFromName = 1,  // %FName%
    kMacroFromAddr = 2,  // %FAddress%
    kMacroFromOrg = 3,   // %FOrg%
    kMacroDate = 4,      // %FDate%: today (UTC), "7 Dec 2026"
    kMacroTime = 5,      // %FTime%: now (UTC), "07:34:00"
    kMacroSubject = 6,   // %Subject%
    kMacroAuthor = 7,    // %OName% and %From%: the author replied to
    kMacroItemDate = 8,  // %ODate%: the source article's date
    kMacroItemTime = 9,  // %OTime%
    kMacroQuote = 10,    // %Quote%: the source, each line prefixed by the text before, QuoteChar
                         // and a space (none before an empty or already quoted line)
    kMacroText = 11,     // %Text%: the source, each line prefixed by the text before the macro
    kMacroCursor = 12,   // %Cursor%
    kMacroNumber = 14,   // %Number%: expands to nothing here
};

// The reply template used when the options name none: an attribution line, the quote, and the
// cursor on a line of its own below it.
inline constexpr std::string_view kDefaultReplyTemplate =
    "On %ODate%, %OName% wrote:\n%Quote%\n%Cursor%\n";

// The code of a token that starts and ends with "%"; kMacroNone for any other word.
int MacroCode(std::string_view token);

// What a template expands from.
struct TTemplateSource {
    const TAccountOptions& Account;  // FromName, FromAddr, Organization
    const TPostInfo& Post;           // Subject, Author
    TStream& Source;                 // the source article's text; empty for a new article
    const PluginPanelItem& Item;     // its date (creation time, UTC), charset (fifth column)
    SYSTEMTIME Now;                  // UTC
    char QuoteChar;
};

// Where the editor opens: 1-based line and column; 0, 0 for the start of the text.
struct TCursorPlace {
    int Line = 0;
    int Column = 0;
};

// Expands templateText into output. A line feed ends a template line (also inside an open
// macro, which stays open); a "%" without its closing "%" swallows the rest of the template.
// Quoted lines are converted from the source's character set (its slot's table) to OEM; a
// last source line without a line end gets one, so the text after the macro starts a new line.
TCursorPlace ExpandTemplateText(const TTemplateSource& from, std::string_view templateText,
                                TStream& output);

// The same for a template file; when templateFile names no existing file, the whole source is
// copied unchanged (a reply without template is the plain article, a new article is empty).
// Raises the stream errors of reading the file or writing output.
TCursorPlace ExpandTemplate(const TTemplateSource& from, const std::string& templateFile,
                            TStream& output);

}  // namespace kestrova
