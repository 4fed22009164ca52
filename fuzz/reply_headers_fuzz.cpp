// A parent article of any bytes, as a reply reads it: what the reply takes from it must never
// carry a line break, a control character or a malformed identifier into the posted header, and
// References must stay within a header line.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ui/reply_headers.h"

namespace {

bool HasControl(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < ' ' || c == 127) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrova;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const TParentHeaders parent = ReadParentHeaders(input);
    const std::string references = ReplyReferences(parent);
    const std::string groups = ReplyNewsgroups(parent);
    const std::string subject = ReplySubject(input.substr(0, 300));
    if (HasControl(references) || HasControl(groups) || HasControl(subject)) abort();
    // Past the limit only when nothing more may go: the first identifier and the last three.
    if (std::string_view("References: ").size() + references.size() > kHeaderLineLimit &&
        std::count(references.begin(), references.end(), ' ') > 3)
        abort();
    if (!subject.starts_with("Re: ") || subject.substr(4).starts_with("Re: ")) abort();
    if (ArticleBodyOf(input).size() > input.size()) abort();
    return 0;
}
