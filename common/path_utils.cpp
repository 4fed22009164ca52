#include "common/path_utils.h"

namespace kestrova {

std::string IncludeTrailingSeparator(std::string_view path, char separator) {
    std::string result(path);
    if (!result.empty() && result.back() != separator && result.back() != ':') result += separator;
    return result;
}

std::string CombinePath(std::string_view base, std::string_view name, char separator) {
    std::string result = IncludeTrailingSeparator(base, separator);
    if (name.empty()) return result;
    if (base.empty() || name.front() == separator) return IncludeTrailingSeparator(name, separator);
    size_t pos = 0;
    while (pos < name.size()) {
        if (name[pos] == separator) {
            ++pos;
            continue;
        }
        size_t end = name.find(separator, pos);
        if (end == std::string_view::npos) end = name.size();
        std::string_view component = name.substr(pos, end - pos);
        if (component.back() == ':') return IncludeTrailingSeparator(name.substr(pos), separator);
        if (component == "..") {
            RemoveLastComponent(result, separator);
        } else if (component != ".") {
            result.append(component);
            result += separator;
        }
        pos = end;
    }
    return result;
}

bool RemoveLastComponent(std::string& path, char separator) {
    size_t colon = path.find(':');
    size_t driveLength = colon == std::string::npos ? 0 : colon + 1;
    std::string drive = path.substr(0, driveLength);
    std::string_view rest = std::string_view(path).substr(driveLength);

    if (rest.empty()) {
        path = drive + ".." + separator;
        return false;
    }
    size_t last = rest.find_last_not_of(separator);
    if (last == std::string_view::npos) {
        path = drive + separator;
        return false;
    }
    rest = rest.substr(0, last + 1);
    size_t before = rest.rfind(separator);
    std::string_view component = before == std::string_view::npos ? rest : rest.substr(before + 1);
    if (component == "..") {
        path = drive + std::string(rest) + separator + ".." + separator;
    } else {
        size_t keep = before == std::string_view::npos ? 0 : before + 1;
        path = drive + std::string(rest.substr(0, keep));
    }
    return true;
}

}  // namespace kestrova
