// The channel's stack in a named shared-memory block that every process of the device can
// open: a 4-byte little-endian length word N, then the data area, whose first N bytes are
// the pushed values, oldest first. The block's owner is whoever holds the sender mutex;
// inside a handler of a numbered exchange every operation runs only while that exchange
// is still the current one (comm_exchange.h).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/comm/comm_clipboard.h"
#include "platform/types.h"

class CCommMemoryMappedFilesClipboard : public CCommClipboard {
public:
    // capacity: the block's size, the length word included. The first process to open the
    // block starts with an empty stack; a later one keeps what the block holds. Without a
    // block (it cannot be made or mapped) every operation fails.
    CCommMemoryMappedFilesClipboard(std::uint32_t capacity, const char16_t* mapping_name);
    ~CCommMemoryMappedFilesClipboard() override;

    bool clear() override;
    bool push(const void* bytes, std::uint32_t length) override;
    bool pop(void* destination, std::uint32_t length) override;

private:
    bool guarded(const std::function<bool()>& operation);
    bool push_unguarded(const void* bytes, std::uint32_t length);
    bool pop_unguarded(void* destination, std::uint32_t length);
    std::uint32_t data_capacity() const { return get_capacity() - length_word_size; }
    // There is a view and the block still holds all of it.
    bool is_usable() const;
    // N, unless there is no view or the block holds a length beyond the data area.
    std::optional<std::uint32_t> read_depth() const;
    void write_depth(std::uint32_t depth);
    BYTE* data() { return view_ + length_word_size; }

    static constexpr std::uint32_t length_word_size = 4;

    std::u16string const mapping_name_;
    HANDLE mapping_ = nullptr;
    BYTE* view_ = nullptr;
};
