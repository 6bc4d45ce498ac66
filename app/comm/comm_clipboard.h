// The byte stack of the command channel: values are pushed and popped, last in first out,
// with no tags between them. The plain stack has no storage and refuses everything; the
// process's stack is installed once the channel is set up.
#pragma once

#include <cstdint>

class CSerializable;

class CCommClipboard {
public:
    // capacity: bytes of storage behind the stack (0: none).
    explicit CCommClipboard(std::uint32_t capacity = 0) : capacity_(capacity) {}
    virtual ~CCommClipboard() = default;
    CCommClipboard(const CCommClipboard&) = delete;
    CCommClipboard& operator=(const CCommClipboard&) = delete;

    // Empties the stack.
    virtual bool clear() { return false; }
    // False, and the stack unchanged, when the bytes do not fit.
    virtual bool push(const void* bytes, std::uint32_t length);
    // False, and the stack unchanged, when it holds fewer than length bytes.
    virtual bool pop(void* destination, std::uint32_t length);

    std::uint32_t get_capacity() const { return capacity_; }

    // The process's stack; a plain one is installed when there is none yet.
    static CCommClipboard* instance();
    // Takes ownership and deletes the stack installed before; a null clipboard is ignored.
    static void install(CCommClipboard* clipboard);
    // false for a null clipboard or value, else the value's write or read.
    static bool write_object(CCommClipboard* clipboard, const CSerializable* value);
    static bool read_object(CCommClipboard* clipboard, CSerializable* value);

private:
    std::uint32_t const capacity_;
};
