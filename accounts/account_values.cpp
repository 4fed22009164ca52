#include "accounts/account_values.h"

#include "common/integer_text.h"
#include "common/password_scramble.h"
#include "common/text_utils.h"
#include "ui/char_tables.h"
#include "ui/plugin_options.h"

namespace kestrova {

std::string AccountUrl(const TAccountOptions& account, unsigned flags) {
    std::string text;
    BuildUrl(account.Url, flags, text);
    return text;
}

std::string AccountKeyName(const TAccountOptions& account) {
    return account.Description.empty() ? AccountUrl(account, kStoredUrlFlags) : account.Description;
}

bool ReadAccountValues(const TValueReader& read, TBlankTable blankTable, TAccountOptions& account) {
    const TAccountOptions& defaults = Options.Default;
    const bool parsed = ParseUrl(read("Url", ""), kUrlNoScheme, account.Url);
    if (account.Url.Scheme.empty()) account.Url.Scheme = "news";
    account.Secure = TextToIntDef(read("Secure connection", ""), defaults.Secure);
    // Any value but plain and STARTTLS is TLS from the first byte, as any non-zero one always was.
    if (account.Secure != kPlainConnection && account.Secure != kTlsByStartTls)
        account.Secure = kTlsFromFirstByte;
    if (IsSecureNewsScheme(account.Url.Scheme)) account.Secure = kTlsFromFirstByte;
    account.TrustedCertificate = read("Trusted certificate", "");
    const std::string password = UnscramblePassword(read("Password", ""));
    if (!password.empty()) account.Url.Password = password;

    account.FromAddr = read("FromAddr", defaults.FromAddr);
    account.ReplyTo = read("ReplyTo", defaults.ReplyTo);
    account.FromName = read("FromName", defaults.FromName);
    account.Organization = read("Organization", defaults.Organization);
    account.UseProxy = TextToIntDef(read("Use proxy", ""), defaults.UseProxy);
    account.AskPassword = TextToIntDef(read("Ask password", ""), defaults.AskPassword);
    const std::string table = read("Character table", "");
    const bool useDefault =
        blankTable == TBlankTable::BlankIsDefault ? IsBlank(table) : table.empty();
    account.CharTable = useDefault ? defaults.CharTable : SlotIndex(table);
    return parsed;
}

void WriteAccountValues(const TValueWriter& write, const TAccountOptions& account,
                        unsigned urlFlags, bool withDescription) {
    write("Url", AccountUrl(account, urlFlags));
    write("Password", ScramblePassword(account.Url.Password));
    if (withDescription) write("Description", account.Description);
    write("FromAddr", account.FromAddr);
    write("ReplyTo", account.ReplyTo);
    write("FromName", account.FromName);
    write("Organization", account.Organization);
    write("Use proxy", IntToText(account.UseProxy));
    write("Ask password", IntToText(account.AskPassword));
    write("Character table", SlotName(account.CharTable));
    write("Secure connection", IntToText(account.Secure));
    write("Trusted certificate", account.TrustedCertificate);
}

}  // namespace kestrova
