#include "common/memory_block.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/os_error.h"

namespace kestrova {

namespace {

// Each block is preceded by its size; the header keeps the block maximally aligned.
struct alignas(std::max_align_t) BlockHeader {
    size_t size;
};

constexpr size_t kResizeStep = 65536;
constexpr size_t kLargestBlock = PTRDIFF_MAX - sizeof(BlockHeader) - kResizeStep;

BlockHeader* HeaderOf(const void* block) {
    return static_cast<BlockHeader*>(const_cast<void*>(block)) - 1;
}

void* BlockOf(BlockHeader* header) {
    return header + 1;
}

void CheckSize(size_t size) {
    if (size > kLargestBlock) RaiseOSError(ENOMEM);
}

}  // namespace

void GetBlock(void*& block, size_t size) {
    CheckSize(size);
    auto* header = static_cast<BlockHeader*>(std::calloc(1, sizeof(BlockHeader) + size));
    if (!header) RaiseOSError(ENOMEM);
    header->size = size;
    block = BlockOf(header);
}

void FreeBlock(void*& block) {
    if (block) std::free(HeaderOf(block));
    block = nullptr;
}

size_t BlockSize(const void* block) {
    return block ? HeaderOf(block)->size : 0;
}

void ResizeBlock(void*& block, size_t size) {
    if (size == 0) {
        FreeBlock(block);
        return;
    }
    if (!block) {
        GetBlock(block, size);
        return;
    }
    CheckSize(size);
    size_t rounded = (size + kResizeStep - 1) / kResizeStep * kResizeStep;
    size_t current = BlockSize(block);
    if (current >= rounded && current - rounded < kResizeStep) return;
    auto* header =
        static_cast<BlockHeader*>(std::realloc(HeaderOf(block), sizeof(BlockHeader) + rounded));
    if (!header) RaiseOSError(ENOMEM);  // the old block stays valid and unchanged
    if (rounded > current)
        std::memset(static_cast<char*>(BlockOf(header)) + current, 0, rounded - current);
    header->size = rounded;
    block = BlockOf(header);
}

}  // namespace kestrova
