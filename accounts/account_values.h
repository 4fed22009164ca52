// The values of one news account as stored in the settings store (one key per account) and in
// an account file (one "Kestrova" section per file): the same idents, read with the default
// account's values as defaults. The two differ only in the URL form, the "Description" value
// (files only) and the blank character-table rule.
#pragma once

#include <functional>
#include <string>

#include "ui/account_options.h"

namespace kestrova {

inline constexpr const char* kAccountFileSection = "Kestrova";
// The store keeps no scheme; files keep it. Neither keeps the password in the URL.
inline constexpr unsigned kStoredUrlFlags = kUrlExtraInfo | kUrlUserName | kUrlNoScheme;
inline constexpr unsigned kFileUrlFlags = kUrlExtraInfo | kUrlUserName;

// The account's URL text built with flags; empty when it has no host.
std::string AccountUrl(const TAccountOptions& account, unsigned flags);
// The key an account is stored under: its Description, else its stored URL text.
std::string AccountKeyName(const TAccountOptions& account);

using TValueReader = std::function<std::string(const char* ident, const std::string& fallback)>;
using TValueWriter = std::function<void(const char* ident, const std::string& value)>;

enum class TBlankTable { OnlyEmptyIsDefault, BlankIsDefault };

// Reads "Url" (scheme optional, "news" when missing), "Password" (replaces the URL's own only
// when it unscrambles to a non-empty text), the TLS values ("Secure connection" 0 plain, 2
// STARTTLS, anything else, or "nntps" in the URL, TLS from the first byte) and the author and
// option values into account; Description is left to the caller. Returns whether "Url" parsed.
bool ReadAccountValues(const TValueReader& read, TBlankTable blankTable, TAccountOptions& account);
// Writes "Url" with urlFlags, "Password" scrambled, "Description" when withDescription, then
// the author and option values, in the order of the account file.
void WriteAccountValues(const TValueWriter& write, const TAccountOptions& account,
                        unsigned urlFlags, bool withDescription);

}  // namespace kestrova
