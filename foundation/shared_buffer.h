#pragma once

#include <cstdint>

namespace liba {

// A view {block, offset, size} over a reference-counted byte block, passed by value.
// Copies and slices share the block; a writer first gets a private copy of its view when
// anybody else still sees the block (copy on write). Handles that share a block may be
// copied and released on different threads at once; the bytes of one handle are written
// only by the thread holding it.
class SharedBuffer {
public:
    // An empty view of an empty block.
    SharedBuffer();
    // A new block of that size; the bytes are not initialised.
    explicit SharedBuffer(std::uint32_t size);
    // A new block holding a copy of size bytes from data.
    SharedBuffer(std::uint32_t size, const void* data);
    SharedBuffer(const SharedBuffer& other);
    // Shares other's block: bytes [offset, offset + size) of other's view. The caller keeps
    // the slice inside other's block.
    SharedBuffer(const SharedBuffer& other, std::uint32_t offset, std::uint32_t size);
    SharedBuffer& operator=(const SharedBuffer& other);
    ~SharedBuffer();

    // The view's bytes, for reading only.
    const std::uint8_t* get_data() const { return block_->data + offset_; }
    std::uint32_t get_size() const { return size_; }

    // The view's bytes for writing, after a private copy of the view if the block is shared.
    std::uint8_t* get_writable_data();
    void fill(std::uint8_t value);
    // Copies min(source size, size - position) bytes of the source's view to the own view
    // at position and returns the count; source and view may overlap. A position beyond the
    // view copies nothing and returns 0.
    std::uint32_t copy_from(std::uint32_t position, const SharedBuffer& source);

    // How the view lies in its block.
    std::uint32_t get_offset() const { return offset_; }
    std::uint32_t get_capacity() const { return block_->capacity; }
    // How many handles view the block (a snapshot when other threads hold some of them).
    std::int32_t get_use_count() const;

private:
    struct Block {
        volatile std::int32_t count;
        std::uint8_t* data;
        std::uint32_t capacity;
    };

    static Block* new_block(std::uint32_t capacity);
    void release();
    void detach();

    Block* block_;
    std::uint32_t offset_;
    std::uint32_t size_;
};

}  // namespace liba
