// BuildBody: the text of a posted file as the article's body.
#include "common/base64.h"
#include "ui/composition.h"

namespace kestrova {
namespace {

constexpr int kBodyBlock = 60;  // bytes per block; a Base64 line of 80 characters

int TableCode(int slot) {
    return slot >= 0 && slot < kSlotCount ? SlotTableCode(slot) : kDefaultTable;
}

}  // namespace

std::unique_ptr<TMemoryStream> BuildBody(TStream& file, const TPostInfo& post) {
    if (post.SourceSlot < 0 && post.TargetSlot < 0 && post.Base64 == 0) return nullptr;
    const int source = TableCode(post.SourceSlot);
    const int target = TableCode(post.TargetSlot);
    auto body = std::make_unique<TMemoryStream>();
    file.SetPosition(0);
    char block[kBodyBlock];
    for (int64_t got; (got = file.Read(block, kBodyBlock)) > 0;) {
        const int length = static_cast<int>(got);
        DecodeBuffer(source, block, length);
        EncodeBuffer(target, block, length);
        if (post.Base64 == 1) {
            body->WriteText(Base64Encode(std::string_view(block, static_cast<size_t>(length))));
            body->WriteText("\r\n");
        } else {
            body->WriteBuffer(block, length);
        }
    }
    return body;
}

}  // namespace kestrova
