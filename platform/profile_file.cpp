#include "platform/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>

#include "platform/filesystem.h"
#include "platform/store_name_fold.h"

namespace kestrova::platform {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view s) {
    size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
    return FoldStoreName(a) == FoldStoreName(b);
}

// One line of the file: its text without the line end, and where it starts and ends (line end
// included) in the content.
struct Line {
    std::string_view text;
    size_t begin;
    size_t end;
};

// Calls visit(line) for each line until it returns false.
template <typename Visit>
void ForEachLine(std::string_view content, Visit visit) {
    size_t pos = 0;
    while (pos < content.size()) {
        size_t lf = content.find('\n', pos);
        size_t end = lf == std::string_view::npos ? content.size() : lf + 1;
        std::string_view text =
            content.substr(pos, (lf == std::string_view::npos ? content.size() : lf) - pos);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        if (!visit(Line{text, pos, end})) return;
        pos = end;
    }
}

// The section name of a "[name]" line.
std::optional<std::string_view> SectionOf(std::string_view line) {
    std::string_view t = Trim(line);
    if (t.empty() || t.front() != '[') return std::nullopt;
    size_t close = t.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(t.substr(1, close - 1));
}

// The ident and value of an "ident=value" line (comments and other lines have none).
bool SplitEntry(std::string_view line, std::string_view& ident, std::string_view& value) {
    std::string_view t = Trim(line);
    size_t eq = t.find('=');
    if (t.empty() || t.front() == ';' || eq == std::string_view::npos) return false;
    ident = Trim(t.substr(0, eq));
    value = Trim(t.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return true;
}

// Where the section's entry for ident is, and where a new entry would go.
struct Place {
    bool sectionFound = false;
    bool identFound = false;
    size_t identBegin = 0, identEnd = 0;
    size_t insertAt = 0;  // after the section's last non-blank line
    std::string_view value;
};

Place Locate(std::string_view content, std::string_view section, std::string_view ident) {
    Place place;
    bool inSection = false;
    ForEachLine(content, [&](const Line& line) {
        if (auto name = SectionOf(line.text)) {
            if (inSection) return false;  // the first section of that name ends here
            inSection = SameName(*name, section);
            if (inSection) {
                place.sectionFound = true;
                place.insertAt = line.end;
            }
            return true;
        }
        if (!inSection) return true;
        if (!Trim(line.text).empty()) place.insertAt = line.end;
        std::string_view id, value;
        if (SplitEntry(line.text, id, value) && SameName(id, ident)) {
            place.identFound = true;
            place.identBegin = line.begin;
            place.identEnd = line.end;
            place.value = value;
            return false;
        }
        return true;
    });
    return place;
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// True when section and ident can head a line and be found again as written.
bool Writable(std::string_view section, std::string_view ident, std::string_view value) {
    if (HasLineBreak(section) || HasLineBreak(ident) || HasLineBreak(value)) return false;
    if (Trim(section).empty() || section.find(']') != std::string_view::npos ||
        Trim(section) != section)
        return false;
    return !Trim(ident).empty() && Trim(ident) == ident &&
           ident.find('=') == std::string_view::npos && ident.front() != ';' &&
           ident.front() != '[';
}

// A value that reading would change (blanks at its ends, enclosing quotes) is written in quotes.
std::string EncodeValue(std::string_view value) {
    bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                  value.back() == value.front();
    if (Trim(value) == value && !quoted) return std::string(value);
    return "\"" + std::string(value) + "\"";
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view content, std::string_view section,
                                            std::string_view ident) {
    Place place = Locate(content, section, ident);
    if (!place.identFound) return std::nullopt;
    return std::string(place.value);
}

std::optional<std::string> SetProfileValue(std::string_view content, std::string_view section,
                                           std::string_view ident, std::string_view value) {
    if (!Writable(section, ident, value)) return std::nullopt;
    std::string entry = std::string(ident) + "=" + EncodeValue(value) + "\r\n";
    Place place = Locate(content, section, ident);
    std::string result(content);
    if (place.identFound)
        return result.replace(place.identBegin, place.identEnd - place.identBegin, entry);
    if (place.sectionFound) {
        // The section's last line may lack a line end when it ends the file.
        if (place.insertAt > 0 && result[place.insertAt - 1] != '\n') {
            result.insert(place.insertAt, "\r\n");
            place.insertAt += 2;
        }
        return result.insert(place.insertAt, entry);
    }
    if (!result.empty() && result.back() != '\n') result += "\r\n";
    if (!result.empty()) result += "\r\n";
    return result + "[" + std::string(section) + "]\r\n" + entry;
}

std::optional<std::string> ReadProfileString(const std::string& fileName, std::string_view section,
                                             std::string_view ident) {
    std::string content;
    if (!ReadWholeFile(ToNativePath(fileName), content)) return std::nullopt;
    return FindProfileValue(content, section, ident);
}

bool WriteProfileString(const std::string& fileName, std::string_view section,
                        std::string_view ident, std::string_view value) {
    std::string path = ToNativePath(fileName);
    std::string content;
    if (::access(path.c_str(), F_OK) == 0 && !ReadWholeFile(path, content)) return false;
    std::optional<std::string> updated = SetProfileValue(content, section, ident, value);
    if (!updated) return false;
    std::string temp = path + ".tmp-XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    struct stat st;
    fchmod(fd, ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);
    const char* p = updated->data();
    size_t left = updated->size();
    bool ok = true;
    while (ok && left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) {
            p += n;
            left -= static_cast<size_t>(n);
        }
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace kestrova::platform
