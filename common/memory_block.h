// Zero-filled heap blocks. The block remembers its size; ResizeBlock rounds to 64 KiB steps.
#pragma once

#include <cstddef>

namespace kestrova {

// Each raises EOSError on a heap failure; the block is then left as it was.
void GetBlock(void*& block, size_t size);  // a new zero-filled block of exactly `size` bytes
void FreeBlock(void*& block);              // frees and clears the reference; none is fine
// Size 0 frees; no block gets a new one of exactly `size` bytes; otherwise the block is resized to
// `size` rounded up to 65536 (the new part zero-filled), unless its size already lies between
// that and 65535 bytes more.
void ResizeBlock(void*& block, size_t size);
size_t BlockSize(const void* block);  // 0 for no block

}  // namespace kestrova
