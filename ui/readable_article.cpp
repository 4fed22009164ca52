#include "ui/readable_article.h"

#include <cctype>
#include <vector>

#include "common/base64.h"
#include "common/quoted_printable.h"
#include "platform/charset_conversion.h"
#include "ui/char_tables.h"
#include "ui/encoded_words.h"

namespace kestrova {
namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool IsHeaderLine(std::string_view line) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    for (char c : line.substr(0, colon))
        if (c <= ' ' || c > '~') return false;
    return true;
}

// The value of parameter (e.g. "charset=") in a header value, quotation marks removed, lower case.
std::string Parameter(std::string_view value, std::string_view parameter) {
    const std::string lower = Lower(value);
    size_t at = lower.find(parameter);
    if (at == std::string::npos) return {};
    at += parameter.size();
    if (at < lower.size() && lower[at] == '"') ++at;
    const size_t end = lower.find_first_of("\"; \t\r\n", at);
    return lower.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

struct Header {
    std::vector<std::string> Lines;  // logical lines: folded lines joined
    std::string Charset;             // the Content-Type charset, when iconv knows it
    std::string Type;                // the Content-Type value, lower case
    std::string Encoding;            // the Content-Transfer-Encoding, lower case
};

// The header block of text up to its first empty line; end is set past that line. False when
// text does not start with a header line.
bool ReadHeader(std::string_view text, Header& header, size_t& end) {
    size_t start = 0;
    while (start < text.size()) {
        size_t lineEnd = text.find('\n', start);
        const size_t next = lineEnd == std::string_view::npos ? text.size() : lineEnd + 1;
        std::string_view line = text.substr(start, next - start);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
        start = next;
        if (line.empty()) break;
        if (line.front() == ' ' || line.front() == '\t') {
            if (header.Lines.empty()) return false;
            header.Lines.back() += ' ';
            header.Lines.back() += Trimmed(line);
            continue;
        }
        if (!IsHeaderLine(line)) {
            if (header.Lines.empty()) return false;
            header.Lines.emplace_back(line);  // kept as it is
            continue;
        }
        header.Lines.emplace_back(line);
    }
    end = start;
    for (const std::string& line : header.Lines) {
        const std::string lower = Lower(line);
        if (lower.starts_with("content-type:")) {
            header.Type = Trimmed(std::string_view(lower).substr(13));
            const std::string charset = Parameter(line, "charset=");
            if (!charset.empty() && platform::IsKnownCharset(charset)) header.Charset = charset;
        } else if (lower.starts_with("content-transfer-encoding:")) {
            header.Encoding = Trimmed(std::string_view(lower).substr(26));
        }
    }
    return !header.Lines.empty();
}

}  // namespace

TReadableArticle ReadableArticle(std::string_view text, int fallbackCode, bool bodyOnly) {
    Header header;
    size_t bodyAt = 0;
    if (!ReadHeader(text, header, bodyAt)) return {DecodeText(fallbackCode, text), {}};
    const bool crlf = text.find("\r\n") != std::string_view::npos;
    const std::string lineEnd = crlf ? "\r\n" : "\n";
    std::string out;
    for (const std::string& line : bodyOnly ? std::vector<std::string>() : header.Lines) {
        out += header.Charset.empty() ? DecodeHeaderText(line, fallbackCode)
                                      : DecodeHeaderText(line, header.Charset);
        out += lineEnd;
    }
    std::string_view body = text.substr(std::min(bodyAt, text.size()));
    // The empty line between header and body; a header on its own (HEAD) ends with its last line.
    if (!bodyOnly && !body.empty()) out += lineEnd;
    if (header.Type.starts_with("multipart/")) return {out.append(body), {}};
    std::string decoded;
    if (header.Encoding == "quoted-printable")
        decoded = DecodeQuotedPrintable(body);
    else if (header.Encoding == "base64")
        decoded = Base64Decode(body);
    else
        decoded = body;
    if (header.Charset.empty()) return {out + DecodeText(fallbackCode, decoded), {}};
    return {out + decoded, header.Charset};
}

}  // namespace kestrova
