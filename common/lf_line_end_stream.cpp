#include "common/lf_line_end_stream.h"

#include <string>

namespace kestrova {

int64_t TLfLineEndStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    const char* bytes = static_cast<const char*>(buffer);
    std::string out;
    out.reserve(static_cast<size_t>(count) + 1);
    if (pendingCr_ && bytes[0] != '\n') out += '\r';
    pendingCr_ = false;
    for (int64_t i = 0; i < count; ++i) {
        if (bytes[i] != '\r') {
            out += bytes[i];
        } else if (i + 1 == count) {
            pendingCr_ = true;
        } else if (bytes[i + 1] != '\n') {
            out += '\r';
        }
    }
    target_.WriteText(out);
    return count;
}

void TLfLineEndStream::SetSize(int64_t size) {
    pendingCr_ = false;
    target_.SetSize(size);
}

void TLfLineEndStream::Finish() {
    if (!pendingCr_) return;
    pendingCr_ = false;
    target_.WriteText("\r");
}

}  // namespace kestrova
