#include "common/memory_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/raised.h"

namespace kestrova {
namespace {

bool AllZero(const void* block, size_t from, size_t to) {
    const auto* bytes = static_cast<const unsigned char*>(block);
    return std::all_of(bytes + from, bytes + to, [](unsigned char b) { return b == 0; });
}

// One block through a run of resizes: exact at first, then rounded to 64 KiB steps, kept while
// the current size lies within one step above the rounded request, new parts zero-filled.
TEST(MemoryBlock, ResizeRoundsTo64KiBKeepsWithinAStepAndZeroFills) {
    const struct {
        size_t request, size;
    } steps[] = {
        {100000, 100000}, {10, 100000},    {100001, 131072}, {65536, 65536}, {1, 65536},
        {65537, 131072},  {70000, 131072}, {300000, 327680}, {10, 65536},
    };
    void* block = nullptr;
    for (const auto& step : steps) {
        const size_t before = BlockSize(block);
        if (block) std::memset(block, 0xAB, before);
        ResizeBlock(block, step.request);
        ASSERT_EQ(BlockSize(block), step.size) << "request " << step.request;
        EXPECT_TRUE(AllZero(block, std::min(before, step.size), step.size)) << step.request;
    }
    ResizeBlock(block, 0);
    EXPECT_EQ(block, nullptr);
    FreeBlock(block);  // freeing nothing is harmless
}

TEST(MemoryBlock, HeapFailureRaisesSystemErrorAndKeepsTheBlock) {
    void* block = nullptr;
    const std::string raised = Raised([&] { GetBlock(block, SIZE_MAX - 8); });
    EXPECT_EQ(raised.rfind("EOSError: Win32 Error. Code: 12.\n", 0), 0u) << raised;
    EXPECT_EQ(block, nullptr);
    GetBlock(block, 10);
    EXPECT_TRUE(AllZero(block, 0, 10));
    EXPECT_THROW(ResizeBlock(block, SIZE_MAX / 2 + 1), EOSError);
    EXPECT_EQ(BlockSize(block), 10u);
    FreeBlock(block);
    EXPECT_EQ(block, nullptr);
}

}  // namespace
}  // namespace kestrova
