// Zero-filled heap blocks. The block remembers its size; ResizeBlock rounds to 64 KiB steps.
#pragma once

#include <cstddef>

namespace kestrova {

// Each raises EOSError on a heap failure.
void GetBlock(void*& block, size_t size);
void FreeBlock(void*& block);
void ResizeBlock(void*& block, size_t size);
size_t BlockSize(const void* block);

}  // namespace kestrova
