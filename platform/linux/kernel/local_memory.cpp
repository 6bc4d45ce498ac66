#include "platform/linux/kernel/local_memory.h"

#include <cstdlib>
#include <mutex>
#include <unordered_map>

#include "platform/errors.h"
#include "platform/testing.h"

namespace {

// Every live block with the size it was asked for, so that handles can be checked.
struct BlockTable {
    std::mutex lock;
    std::unordered_map<void*, SIZE_T> sizes;
};

BlockTable& blocks() {
    static auto* const table = new BlockTable;  // lives to the process end
    return *table;
}

constexpr UINT known_flags = LMEM_MOVEABLE | LMEM_ZEROINIT;

}  // namespace

namespace platform::detail {

bool is_local_block(HLOCAL block) {
    auto& table = blocks();
    std::lock_guard guard(table.lock);
    return table.sizes.count(block) != 0;
}

}  // namespace platform::detail

namespace platform {

SIZE_T live_local_blocks() {
    auto& table = blocks();
    std::lock_guard guard(table.lock);
    return table.sizes.size();
}

}  // namespace platform

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
    if ((flags & ~known_flags) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (bytes > LOCAL_MEMORY_MAX_BLOCK) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    SIZE_T const room = bytes == 0 ? 1 : bytes;  // an empty block still needs its own address
    void* const block = (flags & LMEM_ZEROINIT) ? std::calloc(room, 1) : std::malloc(room);
    if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto& table = blocks();
    std::lock_guard guard(table.lock);
    table.sizes[block] = bytes;
    return block;
}

SIZE_T LocalSize(HLOCAL block) {
    auto& table = blocks();
    std::lock_guard guard(table.lock);
    auto const it = table.sizes.find(block);
    if (it == table.sizes.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return it->second;
}

HLOCAL LocalFree(HLOCAL block) {
    if (!block) return nullptr;
    auto& table = blocks();
    {
        std::lock_guard guard(table.lock);
        if (table.sizes.erase(block) == 0) {
            SetLastError(ERROR_INVALID_HANDLE);
            return block;
        }
    }
    std::free(block);
    return nullptr;
}
