// BuildBody: the text of a posted file as the article's body.
#include "common/base64.h"
#include "ui/composition.h"

namespace kestrova {
namespace {

constexpr size_t kBase64LineBytes = 60;  // bytes per Base64 line of 80 characters

std::string ReadText(TStream& file) {
    file.SetPosition(0);
    std::string text(static_cast<size_t>(file.Size()), '\0');
    file.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
    return text;
}

}  // namespace

std::unique_ptr<TMemoryStream> BuildBody(TStream& file, const TPostInfo& post) {
    if (post.SourceSlot < 0 && post.TargetSlot < 0 && post.Base64 == 0) return nullptr;
    const std::string text = post.SourceSlot >= 0 && post.SourceSlot < kSlotCount
                                 ? DecodeText(SlotTableCode(post.SourceSlot), ReadText(file))
                                 : ReadText(file);
    const std::string bytes = EncodeText(post.TargetSlot, text);
    auto body = std::make_unique<TMemoryStream>();
    if (post.Base64 != 1) {
        body->WriteText(bytes);
        return body;
    }
    for (size_t at = 0; at < bytes.size(); at += kBase64LineBytes) {
        body->WriteText(Base64Encode(std::string_view(bytes).substr(at, kBase64LineBytes)));
        body->WriteText("\r\n");
    }
    return body;
}

}  // namespace kestrova
