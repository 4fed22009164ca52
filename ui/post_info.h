// The answers of the posting dialog for one article (or for every file of one copy into a
// group): the character sets of the text and of the article, the Base64 choice, the subject, the
// author of the article replied to (for the templates) and the thread of a reply.
#pragma once

#include <string>

#include "ui/char_tables.h"

namespace kestrova {

inline constexpr size_t kSubjectLimit = 260;
inline constexpr size_t kAuthorLimit = 128;

struct TPostInfo {
    int SourceSlot = kNoSlot;  // slot the text is written in; kNoSlot: OEM text
    int TargetSlot = kNoSlot;  // slot the article is sent in; kNoSlot: no conversion, no charset
    int Base64 = 0;            // 1: the body and the encoded headers use Base64
    std::string Subject;       // at most kSubjectLimit characters
    std::string Author;        // at most kAuthorLimit characters
    std::string References;    // a reply's thread (ui/reply_headers.h); empty for a new article
};

// Outcomes of the posting dialog.
inline constexpr int kPostComposed = 132;  // compose the headers, send headers and body
inline constexpr int kPostAsIs = 133;      // the text is a complete article: no headers composed
inline constexpr int kPostSave = 12;       // compose the headers, write the article to a file
inline constexpr int kPostCancel = 2;

}  // namespace kestrova
