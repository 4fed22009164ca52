#include "common/memory_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "common/errors.h"

namespace kestrova {
namespace {

bool AllZero(const void* block, size_t from, size_t to) {
    const auto* bytes = static_cast<const unsigned char*>(block);
    for (size_t i = from; i < to; ++i)
        if (bytes[i] != 0) return false;
    return true;
}

TEST(MemoryBlock, GetAndFree) {
    void* block = nullptr;
    GetBlock(block, 100);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(BlockSize(block), 100u);
    EXPECT_TRUE(AllZero(block, 0, 100));
    FreeBlock(block);
    EXPECT_EQ(block, nullptr);
    FreeBlock(block);  // freeing nothing is harmless
    EXPECT_EQ(BlockSize(nullptr), 0u);
}

TEST(MemoryBlock, ResizeRoundsTo64KiBAndZeroFills) {
    struct Step {
        size_t request;
        size_t size;
    };
    const Step steps[] = {
        {100, 100},  // no block yet: exactly the size asked
        {101, 65536},     {65536, 65536},  {1, 65536},
        {65537, 131072},  {70000, 131072},  // already within one step of the rounded size
        {300000, 327680}, {10, 65536},      // far too large: shrinks
    };
    void* block = nullptr;
    for (const Step& step : steps) {
        size_t before = BlockSize(block);
        if (block) std::memset(block, 0xAB, before);
        ResizeBlock(block, step.request);
        ASSERT_EQ(BlockSize(block), step.size) << "request " << step.request;
        EXPECT_TRUE(AllZero(block, std::min(before, step.size), step.size))
            << "request " << step.request;
    }
    ResizeBlock(block, 0);
    EXPECT_EQ(block, nullptr);
}

TEST(MemoryBlock, ResizeKeepsABlockWithinOneStepAboveTheRoundedSize) {
    void* block = nullptr;
    GetBlock(block, 100000);
    ResizeBlock(block, 10);  // rounded 65536; 100000 lies within 65535 above it
    EXPECT_EQ(BlockSize(block), 100000u);
    ResizeBlock(block, 100001);  // rounded 131072: grows
    EXPECT_EQ(BlockSize(block), 131072u);
    EXPECT_TRUE(AllZero(block, 100000, 131072));
    FreeBlock(block);
}

TEST(MemoryBlock, HeapFailureRaisesSystemError) {
    void* block = nullptr;
    try {
        GetBlock(block, SIZE_MAX - 8);
        ADD_FAILURE() << "no error";
    } catch (const EOSError& e) {
        EXPECT_EQ(e.Message.rfind("Win32 Error. Code: 12.\n", 0), 0u) << e.Message;
        EXPECT_GT(e.Message.size(), std::string("Win32 Error. Code: 12.\n").size());
    }
    EXPECT_EQ(block, nullptr);
    GetBlock(block, 10);
    EXPECT_THROW(ResizeBlock(block, SIZE_MAX / 2 + 1), EOSError);
    EXPECT_EQ(BlockSize(block), 10u);  // the block stays as it was
    FreeBlock(block);
}

}  // namespace
}  // namespace kestrova
