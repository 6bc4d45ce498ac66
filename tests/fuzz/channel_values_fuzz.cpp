// Any bytes in the command channel's shared block, as another process may leave them: the
// values pop as what they can be read as, or fail, and never reach past the block.
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/comm/comm_identifiers.h"
#include "app/comm/memory_mapped_clipboard.h"
#include "app/comm/serializable.h"
#include "app/comm/sonbrix_status.h"
#include "platform/file_mapping.h"
#include "platform/handles.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::use_private_device();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    std::uint32_t const capacity = comm_identifiers::clipboard_capacity + 4;
    CCommMemoryMappedFilesClipboard stack(capacity, comm_identifiers::clipboard_name);
    // The raw block, written as another process would: the first byte picks what to pop.
    HANDLE const mapping =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, capacity, comm_identifiers::clipboard_name);
    auto* const block = static_cast<std::uint8_t*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, capacity));
    if (!block) std::abort();
    std::size_t const bytes = std::min<std::size_t>(size - 1, capacity);
    std::memset(block, 0, capacity);
    std::memcpy(block, data + 1, bytes);
    for (int kind = data[0]; kind != 0; kind >>= 2) {
        bool popped = false;
        switch (kind & 3) {
        case 0: popped = CSonbrixStatus().read(stack); break;
        case 1: popped = CSerializableString().read(stack); break;
        case 2: popped = CSerializableInt().read(stack); break;
        default: popped = CSerializableBool().read(stack); break;
        }
        if (!popped) break;
    }
    CSerializableString(u"reply").write(stack);
    UnmapViewOfFile(block);
    CloseHandle(mapping);
    return 0;
}
