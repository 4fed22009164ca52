#include "platform/charset_conversion.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <memory>

#include "platform/utf8.h"

namespace kestrova::platform {
namespace {

constexpr size_t kLongestCharsetName = 40;
constexpr char kUtf8[] = "UTF-8";
constexpr char kReplacement[] = "\xEF\xBF\xBD";

// A name iconv may be asked about: letters, digits and . _ : + - only, so an outside name can
// never carry iconv's own suffixes ("//TRANSLIT", "//IGNORE").
bool PlainName(std::string_view name) {
    if (name.empty() || name.size() > kLongestCharsetName) return false;
    for (char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '_' || c == ':' || c == '+' ||
                           c == '-';
        if (!plain) return false;
    }
    return true;
}

bool SameAsciiName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
    return true;
}

bool IsUtf8Name(std::string_view charset) {
    return SameAsciiName(charset, "utf-8") || SameAsciiName(charset, "utf8") ||
           SameAsciiName(charset, "us-ascii");
}

struct Descriptor {
    iconv_t Handle = reinterpret_cast<iconv_t>(-1);
    ~Descriptor() {
        if (Handle != reinterpret_cast<iconv_t>(-1)) iconv_close(Handle);
    }
};

// The converter from one set to another, opened once per thread (iconv keeps shift state, so a
// descriptor is not shared between threads); null when iconv does not know a name.
iconv_t Converter(std::string_view from, std::string_view to) {
    thread_local std::map<std::string, std::unique_ptr<Descriptor>, std::less<>> opened;
    std::string key = std::string(from) + '>' + std::string(to);
    auto found = opened.find(key);
    if (found == opened.end()) {
        auto descriptor = std::make_unique<Descriptor>();
        if (PlainName(from) && PlainName(to))
            descriptor->Handle = iconv_open(std::string(to).c_str(), std::string(from).c_str());
        found = opened.emplace(std::move(key), std::move(descriptor)).first;
    }
    iconv_t handle = found->second->Handle;
    if (handle == reinterpret_cast<iconv_t>(-1)) return nullptr;
    iconv(handle, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state
    return handle;
}

enum class Stop { Done, Invalid, Incomplete, Unmappable };

// Converts as much of in as converts, appending to out; in moves past what was converted. The
// end of in also ends a shift state (a stateful set writes its return to the initial state).
Stop ConvertSome(iconv_t handle, std::string_view& in, std::string& out) {
    char buffer[4096];
    for (;;) {
        const bool ending = in.empty();
        char* source = const_cast<char*>(in.data());
        size_t sourceLeft = in.size();
        char* target = buffer;
        size_t targetLeft = sizeof buffer;
        const size_t result =
            iconv(handle, ending ? nullptr : &source, &sourceLeft, &target, &targetLeft);
        const int error = errno;
        out.append(buffer, static_cast<size_t>(target - buffer));
        in.remove_prefix(in.size() - sourceLeft);
        if (result != static_cast<size_t>(-1)) {
            if (ending) return Stop::Done;
            continue;
        }
        if (error == E2BIG) continue;
        return error == EINVAL ? Stop::Incomplete : Stop::Invalid;
    }
}

}  // namespace

bool IsKnownCharset(std::string_view charset) {
    return Converter(charset, kUtf8) != nullptr;
}

std::optional<std::string> ToUtf8(std::string_view bytes, std::string_view charset) {
    // The sets most text comes in need only a check (the listing of a group decodes every
    // subject).
    if (IsUtf8Name(charset)) return ValidUtf8(bytes);
    iconv_t handle = Converter(charset, kUtf8);
    if (handle == nullptr) return std::nullopt;
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (;;) {
        const Stop stop = ConvertSome(handle, bytes, out);
        if (stop == Stop::Done) break;
        out += kReplacement;
        if (stop == Stop::Incomplete) break;
        bytes.remove_prefix(1);  // the byte that starts no character of the set
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
    }
    // Some converters pass bytes through unchecked (UTF-8 to UTF-8 among them).
    return ValidUtf8(out);
}

EncodedText FromUtf8(std::string_view utf8, std::string_view charset) {
    EncodedText encoded;
    iconv_t handle = Converter(kUtf8, charset);
    if (handle == nullptr) {
        encoded.KnownCharset = false;
        return encoded;
    }
    const std::string valid = ValidUtf8(utf8);
    std::string_view rest = valid;
    encoded.Bytes.reserve(rest.size());
    if (ConvertSome(handle, rest, encoded.Bytes) != Stop::Done) {
        size_t pos = 0;
        encoded.Missing = rest.empty() ? kReplacementCharacter : NextUtf8CodePoint(rest, pos);
    }
    return encoded;
}

}  // namespace kestrova::platform
