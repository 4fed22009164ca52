#include "platform/settings_text_reader.h"

#include <algorithm>

#include "platform/codepages.h"
#include "platform/settings_store.h"

namespace kestrova::platform {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kRoot = "HKEY_CURRENT_USER";

// One logical line: continuation lines joined, numbered by its first physical line.
struct LogicalLine {
    int number;
    std::string text;
};

std::string_view TrimBlanks(std::string_view s) {
    size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::vector<LogicalLine> SplitLines(std::string_view text) {
    std::vector<LogicalLine> lines;
    bool continuing = false;
    int number = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t lf = text.find('\n', pos);
        std::string_view raw =
            text.substr(pos, lf == std::string_view::npos ? std::string_view::npos : lf - pos);
        pos = lf == std::string_view::npos ? text.size() : lf + 1;
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        std::string_view line = continuing ? TrimBlanks(raw) : raw;
        if (!continuing) lines.push_back({number, ""});
        // Long hex data wraps after a comma (or the colon) with a backslash.
        std::string_view end = TrimBlanks(line);
        bool continues = end.size() >= 2 && end.back() == '\\' &&
                         (end[end.size() - 2] == ',' || end[end.size() - 2] == ':');
        if (continues) line = end;
        if (continues) line.remove_suffix(1);
        lines.back().text += line;
        continuing = continues;
    }
    return lines;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// UTF-8 text of the file to OEM; text the OEM code page cannot hold is an error, not a "?".
std::string ToOem(std::string_view utf8, int line) {
    std::string oem = platform::Utf8ToOem(utf8);
    if (platform::OemToUtf8(oem) != utf8)
        throw SettingsFormatError(line, "text the OEM code page cannot hold");
    return oem;
}

// Reads a quoted string starting at text[pos] == '"'; pos ends after the closing quote.
std::string ReadQuoted(std::string_view text, size_t& pos, int line) {
    std::string out;
    for (++pos; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '"') {
            ++pos;
            return ToOem(out, line);
        }
        if (c == '\\') {
            if (++pos >= text.size() || (text[pos] != '\\' && text[pos] != '"'))
                throw SettingsFormatError(line, "only \\\\ and \\\" may follow a backslash");
            c = text[pos];
        }
        out += c;
    }
    throw SettingsFormatError(line, "missing closing quote");
}

std::string ReadHexBytes(std::string_view text, int line) {
    std::string bytes;
    size_t pos = 0;
    while (true) {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
        if (pos >= text.size()) break;
        if (pos + 1 >= text.size() || HexDigit(text[pos]) < 0 || HexDigit(text[pos + 1]) < 0)
            throw SettingsFormatError(line, "expected two hexadecimal digits per byte");
        bytes += static_cast<char>(HexDigit(text[pos]) * 16 + HexDigit(text[pos + 1]));
        pos += 2;
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
        if (pos >= text.size()) break;
        if (text[pos] != ',' || pos + 1 >= text.size())
            throw SettingsFormatError(line, "bytes must be separated by commas");
        ++pos;
    }
    return bytes;
}

uint32_t ReadHexNumber(std::string_view digits, size_t maxDigits, int line) {
    if (digits.empty() || digits.size() > maxDigits)
        throw SettingsFormatError(
            line, "expected up to " + std::to_string(maxDigits) + " hexadecimal digits");
    uint32_t value = 0;
    for (char c : digits) {
        int d = HexDigit(c);
        if (d < 0) throw SettingsFormatError(line, "not a hexadecimal number");
        value = value * 16 + static_cast<uint32_t>(d);
    }
    return value;
}

void CheckName(std::string_view name, int line, const char* what) {
    if (HasControlCharacter(name))
        throw SettingsFormatError(line, std::string("a control character in a ") + what);
}

// Each name of the path; more than kMaxKeyDepth of them is refused before anything is stored.
void CheckKeyPath(std::string_view path, int line) {
    size_t depth = 0;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) ++depth;
        start = end + 1;
    }
    if (depth > kMaxKeyDepth)
        throw SettingsFormatError(
            line, "a key nested deeper than " + std::to_string(kMaxKeyDepth) + " levels");
    CheckName(path, line, "key name");
}

// "[HKEY_CURRENT_USER\path]" or "[-HKEY_CURRENT_USER\path]".
SettingsEdit ReadKeyLine(std::string_view text, int line) {
    if (text.back() != ']') throw SettingsFormatError(line, "a key line must end with ]");
    std::string_view inner = text.substr(1, text.size() - 2);
    bool remove = !inner.empty() && inner.front() == '-';
    if (remove) inner.remove_prefix(1);
    if (inner.substr(0, kRoot.size()) != kRoot ||
        (inner.size() > kRoot.size() && inner[kRoot.size()] != '\\'))
        throw SettingsFormatError(line, "keys must lie under HKEY_CURRENT_USER");
    inner.remove_prefix(std::min(inner.size(), kRoot.size() + 1));
    if (remove && inner.empty())
        throw SettingsFormatError(line, "HKEY_CURRENT_USER itself cannot be deleted");
    SettingsEdit edit{remove ? SettingsEdit::Kind::DeleteKey : SettingsEdit::Kind::CreateKey,
                      line,
                      ToOem(inner, line),
                      {},
                      0,
                      {}};
    CheckKeyPath(edit.keyPath, line);
    return edit;
}

// The data after "=" of a value line.
void ReadValueData(std::string_view data, int line, SettingsEdit& edit) {
    if (data == "-") {
        edit.kind = SettingsEdit::Kind::DeleteValue;
        return;
    }
    if (!data.empty() && data.front() == '"') {
        size_t pos = 0;
        edit.type = platform::REG_SZ;
        edit.data = ReadQuoted(data, pos, line) + '\0';
        if (!TrimBlanks(data.substr(pos)).empty())
            throw SettingsFormatError(line, "text after the closing quote");
        return;
    }
    if (data.substr(0, 6) == "dword:") {
        uint32_t v = ReadHexNumber(data.substr(6), 8, line);
        edit.type = platform::REG_DWORD;
        for (int i = 0; i < 4; ++i) edit.data += static_cast<char>((v >> (8 * i)) & 0xFF);
        return;
    }
    if (data.substr(0, 4) == "hex:") {
        edit.type = platform::REG_BINARY;
        edit.data = ReadHexBytes(data.substr(4), line);
        return;
    }
    if (data.substr(0, 4) == "hex(") {
        size_t close = data.find("):");
        if (close == std::string_view::npos)
            throw SettingsFormatError(line, "hex( must be closed by ):");
        edit.type = ReadHexNumber(data.substr(4, close - 4), 8, line);
        edit.data = ReadHexBytes(data.substr(close + 2), line);
        return;
    }
    throw SettingsFormatError(
        line, "unknown kind of value (expected \"text\", dword:, hex:, hex(n): or -)");
}

SettingsEdit ReadValueLine(std::string_view text, int line, const std::string& keyPath) {
    SettingsEdit edit{SettingsEdit::Kind::SetValue, line, keyPath, {}, 0, {}};
    size_t pos = 0;
    if (text.front() == '@') {
        pos = 1;
    } else if (text.front() == '"') {
        edit.valueName = ReadQuoted(text, pos, line);
        CheckName(edit.valueName, line, "value name");
    } else {
        throw SettingsFormatError(line, "expected [key], \"name\"=... or @=...");
    }
    std::string_view rest = TrimBlanks(text.substr(pos));
    if (rest.empty() || rest.front() != '=')
        throw SettingsFormatError(line, "expected = after the value name");
    ReadValueData(TrimBlanks(rest.substr(1)), line, edit);
    return edit;
}

}  // namespace

std::vector<SettingsEdit> ReadSettingsText(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a byte-order mark
    std::vector<SettingsEdit> edits;
    bool headerSeen = false;
    bool inKey = false;  // values may follow: the current key was created, not deleted
    std::string keyPath;
    for (const LogicalLine& l : SplitLines(text)) {
        std::string_view t = TrimBlanks(l.text);
        if (t.empty() || t.front() == ';') continue;
        if (!headerSeen) {
            if (t != kHeader)
                throw SettingsFormatError(l.number, "the first line must be REGEDIT4");
            headerSeen = true;
            continue;
        }
        if (t.front() == '[') {
            edits.push_back(ReadKeyLine(t, l.number));
            inKey = edits.back().kind == SettingsEdit::Kind::CreateKey;
            keyPath = edits.back().keyPath;
            continue;
        }
        if (!inKey) throw SettingsFormatError(l.number, "a value outside of a key");
        edits.push_back(ReadValueLine(t, l.number, keyPath));
    }
    if (!headerSeen) throw SettingsFormatError(1, "the first line must be REGEDIT4");
    return edits;
}

}  // namespace kestrova::platform
