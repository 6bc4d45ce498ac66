#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/errors.h"
#include "platform/memory.h"

namespace {

TEST(LocalMemory, BlocksOfEveryKindAreTheirOwnAddressesWithTheSizeAskedFor) {
    struct Case {
        UINT flags;
        bool zeroed;
    };
    for (Case const c : {Case{LMEM_FIXED, false}, Case{LMEM_MOVEABLE, false}, Case{LPTR, true}, Case{LHND, true}}) {
        SCOPED_TRACE(c.flags);
        HLOCAL const block = LocalAlloc(c.flags, 100);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(LocalSize(block), 100u);
        auto* const bytes = static_cast<unsigned char*>(block);
        if (c.zeroed) {
            EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 100), std::vector<unsigned char>(100, 0));
        }
        std::memset(bytes, 0xA5, 100);
        EXPECT_EQ(bytes[99], 0xA5);
        EXPECT_EQ(LocalFree(block), nullptr);
    }
}

TEST(LocalMemory, EmptyBlocksAreDistinctLiveBlocks) {
    HLOCAL const first = LocalAlloc(LMEM_MOVEABLE, 0);
    HLOCAL const second = LocalAlloc(LMEM_MOVEABLE, 0);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(LocalSize(first), 0u);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(LocalFree(first), nullptr);
    EXPECT_EQ(LocalFree(second), nullptr);
}

TEST(LocalMemory, RefusesUnknownFlagsAndBlocksBeyondTheLargest) {
    EXPECT_EQ(LocalAlloc(0x0100, 8), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(LocalAlloc(LMEM_MOVEABLE, LOCAL_MEMORY_MAX_BLOCK + 1), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
}

TEST(LocalMemory, HandlesThatAreNoLiveBlockAreRefused) {
    int not_a_block = 0;
    EXPECT_EQ(LocalSize(&not_a_block), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(LocalFree(&not_a_block), &not_a_block);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    HLOCAL const block = LocalAlloc(LMEM_FIXED, 4);
    ASSERT_EQ(LocalFree(block), nullptr);
    EXPECT_EQ(LocalSize(block), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(LocalFree(block), block);  // freeing twice is refused, not done twice

    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

}  // namespace
