#include "app/comm/memory_mapped_clipboard.h"

#include <cstring>

#include "app/comm/comm_exchange.h"
#include "platform/errors.h"
#include "platform/file_mapping.h"
#include "platform/handles.h"

CCommMemoryMappedFilesClipboard::CCommMemoryMappedFilesClipboard(std::uint32_t capacity, const char16_t* mapping_name)
    : CCommClipboard(capacity), mapping_name_(mapping_name ? mapping_name : u"") {
    if (capacity < length_word_size) return;
    mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, capacity,
                                  mapping_name ? mapping_name_.c_str() : nullptr);
    if (!mapping_) return;
    bool const attached = GetLastError() == ERROR_ALREADY_EXISTS;
    // The view asks for the whole capacity, so that a smaller block of the same name (made
    // by some other program) gives no view instead of one that the stack would overrun.
    view_ = static_cast<BYTE*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, capacity));
    if (view_ && !attached) write_depth(0);
}

CCommMemoryMappedFilesClipboard::~CCommMemoryMappedFilesClipboard() {
    if (view_) UnmapViewOfFile(view_);
    if (mapping_) CloseHandle(mapping_);
}

// Another process can cut the block short; touching what is gone would end this one.
bool CCommMemoryMappedFilesClipboard::is_usable() const {
    return view_ && !IsBadWritePtr(view_, get_capacity());
}

std::optional<std::uint32_t> CCommMemoryMappedFilesClipboard::read_depth() const {
    if (!is_usable()) return std::nullopt;
    std::uint32_t depth;
    std::memcpy(&depth, view_, sizeof depth);
    // Another process writes this word: a length beyond the data area is never trusted.
    if (depth > data_capacity()) return std::nullopt;
    return depth;
}

void CCommMemoryMappedFilesClipboard::write_depth(std::uint32_t depth) { std::memcpy(view_, &depth, sizeof depth); }

bool CCommMemoryMappedFilesClipboard::push(const void* bytes, std::uint32_t length) {
    return guarded([&] { return push_unguarded(bytes, length); });
}

bool CCommMemoryMappedFilesClipboard::pop(void* destination, std::uint32_t length) {
    return guarded([&] { return pop_unguarded(destination, length); });
}

bool CCommMemoryMappedFilesClipboard::clear() {
    return guarded([&] {
        if (!is_usable()) return false;
        write_depth(0);
        return true;
    });
}

bool CCommMemoryMappedFilesClipboard::guarded(const std::function<bool()>& operation) {
    std::uint32_t const served = CommExchange::served();
    if (served == 0) return operation();
    return CommExchange::instance().run_if_current(served, operation);
}

bool CCommMemoryMappedFilesClipboard::push_unguarded(const void* bytes, std::uint32_t length) {
    auto const depth = read_depth();
    if (!depth || length > data_capacity() - *depth || (length > 0 && !bytes)) return false;
    if (length > 0) std::memcpy(data() + *depth, bytes, length);
    write_depth(*depth + length);
    return true;
}

bool CCommMemoryMappedFilesClipboard::pop_unguarded(void* destination, std::uint32_t length) {
    auto const depth = read_depth();
    if (!depth || length > *depth || (length > 0 && !destination)) return false;
    std::uint32_t const rest = *depth - length;
    if (length > 0) std::memcpy(destination, data() + rest, length);
    write_depth(rest);
    return true;
}
