#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/errors.h"
#include "platform/file_mapping.h"
#include "platform/handles.h"
#include "tests/support/child_process.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::ChildProcess;

constexpr const char16_t* block_name = u"Test-Block {1}";

// A named block of 16 bytes and a view of all of it.
struct OpenBlock {
    explicit OpenBlock(const char16_t* name = block_name, DWORD size = 16) {
        handle = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
        existed = GetLastError() == ERROR_ALREADY_EXISTS;
        bytes = static_cast<unsigned char*>(MapViewOfFile(handle, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    }
    ~OpenBlock() { close(); }
    void close() {
        if (bytes) UnmapViewOfFile(bytes);
        if (handle) CloseHandle(handle);
        bytes = nullptr;
        handle = nullptr;
    }
    HANDLE handle = nullptr;
    bool existed = false;
    unsigned char* bytes = nullptr;
};

bool all_zero(const unsigned char* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

using SharedMemoryTest = testing_support::DeviceTest;

TEST_F(SharedMemoryTest, ANewBlockIsZeroFilledAndASecondOpenSharesIt) {
    OpenBlock first;
    ASSERT_NE(first.handle, nullptr);
    ASSERT_NE(first.bytes, nullptr);
    EXPECT_FALSE(first.existed);
    EXPECT_TRUE(all_zero(first.bytes, 16));
    std::memcpy(first.bytes, "shared", 6);

    OpenBlock second(block_name, 4096);  // the size of an existing block is kept
    EXPECT_TRUE(second.existed);
    ASSERT_NE(second.bytes, nullptr);
    EXPECT_EQ(std::memcmp(second.bytes, "shared", 6), 0);
    EXPECT_EQ(MapViewOfFile(second.handle, FILE_MAP_READ, 0, 16, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(SharedMemoryTest, TheBlockGoesAwayWithItsLastHandleButAViewKeepsItAlive) {
    {
        OpenBlock block;
        block.bytes[0] = 1;
    }
    OpenBlock fresh;
    EXPECT_FALSE(fresh.existed);
    EXPECT_EQ(fresh.bytes[0], 0);

    fresh.bytes[0] = 2;
    CloseHandle(fresh.handle);
    fresh.handle = nullptr;
    OpenBlock while_viewed;
    EXPECT_TRUE(while_viewed.existed);
    EXPECT_EQ(while_viewed.bytes[0], 2);
}

TEST_F(SharedMemoryTest, BlocksWithoutANameAreNotShared) {
    OpenBlock first(nullptr);
    OpenBlock second(nullptr);
    ASSERT_NE(first.bytes, nullptr);
    ASSERT_NE(second.bytes, nullptr);
    EXPECT_FALSE(second.existed);
    first.bytes[0] = 9;
    EXPECT_EQ(second.bytes[0], 0);
}

TEST_F(SharedMemoryTest, RefusesWhatItCannotMap) {
    struct Case {
        const char* what;
        HANDLE file;
        DWORD protection;
        DWORD size_high;
        DWORD size_low;
        DWORD error;
    };
    HANDLE const some_file = reinterpret_cast<HANDLE>(std::intptr_t{0x1234});
    Case const cases[] = {
        {"a file behind the block", some_file, PAGE_READWRITE, 0, 16, ERROR_NOT_SUPPORTED},
        {"no size", INVALID_HANDLE_VALUE, PAGE_READWRITE, 0, 0, ERROR_INVALID_PARAMETER},
        {"a size beyond 4 GB", INVALID_HANDLE_VALUE, PAGE_READWRITE, 1, 0, ERROR_INVALID_PARAMETER},
        {"an unknown protection", INVALID_HANDLE_VALUE, 0x40, 0, 16, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CreateFileMappingW(c.file, nullptr, c.protection, c.size_high, c.size_low, u"refused"), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }

    EXPECT_EQ(MapViewOfFile(nullptr, FILE_MAP_READ, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    HANDLE const read_only = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 16, nullptr);
    EXPECT_EQ(MapViewOfFile(read_only, FILE_MAP_WRITE, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    void* const view = MapViewOfFile(read_only, FILE_MAP_READ, 0, 8, 8);
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(UnmapViewOfFile(static_cast<char*>(view) + 1));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_FALSE(UnmapViewOfFile(view));
    CloseHandle(read_only);
}

TEST_F(SharedMemoryTest, ProcessesOfTheDeviceShareABlockUntilTheLastOneCloses) {
    ChildProcess creator({"mapping", "Test-Block {1}", "77"});
    EXPECT_EQ(creator.read_line(), "mapped 0 0");
    {
        OpenBlock block;
        EXPECT_TRUE(block.existed);
        EXPECT_EQ(block.bytes[0], 77);
        block.bytes[0] = 78;
        creator.write_line("close");
        EXPECT_EQ(creator.wait_for_exit(), 0);
        EXPECT_EQ(block.bytes[0], 78);
    }
    ChildProcess next({"mapping", "Test-Block {1}", "1"});
    EXPECT_EQ(next.read_line(), "mapped 0 0");
    next.write_line("close");
    EXPECT_EQ(next.wait_for_exit(), 0);
}

TEST_F(SharedMemoryTest, ABlockLeftBehindByADeadProcessIsMadeAfresh) {
    ChildProcess creator({"mapping", "Test-Block {1}", "55"});
    EXPECT_EQ(creator.read_line(), "mapped 0 0");
    creator.write_line("die");
    EXPECT_EQ(creator.wait_for_exit(), 3);

    OpenBlock block;
    EXPECT_FALSE(block.existed);
    EXPECT_TRUE(all_zero(block.bytes, 16));
}

}  // namespace
