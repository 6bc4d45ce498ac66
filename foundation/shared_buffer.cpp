#include "foundation/shared_buffer.h"

#include <cstring>

#include "foundation/atomic.h"
#include "platform/kernel.h"

namespace liba {

SharedBuffer::Block* SharedBuffer::new_block(std::uint32_t capacity) {
    return new Block{1, new std::uint8_t[capacity], capacity};
}

SharedBuffer::SharedBuffer() : block_(new_block(0)), offset_(0), size_(0) {}

SharedBuffer::SharedBuffer(std::uint32_t size) : block_(new_block(size)), offset_(0), size_(size) {}

SharedBuffer::SharedBuffer(std::uint32_t size, const void* data) : SharedBuffer(size) {
    if (size != 0) std::memcpy(block_->data, data, size);
}

SharedBuffer::SharedBuffer(const SharedBuffer& other)
    : block_(other.block_), offset_(other.offset_), size_(other.size_) {
    atomic_increment(&block_->count);
}

SharedBuffer::SharedBuffer(const SharedBuffer& other, std::uint32_t offset, std::uint32_t size)
    : block_(other.block_), offset_(other.offset_ + offset), size_(size) {
    atomic_increment(&block_->count);
}

SharedBuffer& SharedBuffer::operator=(const SharedBuffer& other) {
    atomic_increment(&other.block_->count);  // first, so that self-assignment is safe
    release();
    block_ = other.block_;
    offset_ = other.offset_;
    size_ = other.size_;
    return *this;
}

SharedBuffer::~SharedBuffer() { release(); }

void SharedBuffer::release() {
    if (atomic_decrement(&block_->count) == 0) {
        delete[] block_->data;
        delete block_;
        block_ = nullptr;
    }
}

std::int32_t SharedBuffer::get_use_count() const {
    // A compare-exchange that changes nothing: an ordered read of the count.
    return InterlockedCompareExchange(&block_->count, 0, 0);
}

void SharedBuffer::detach() {
    // Ordered after the releases of the other viewers, so their reads of the bytes are over.
    if (get_use_count() == 1) return;
    Block* const copy = new_block(size_);
    if (size_ != 0) std::memcpy(copy->data, block_->data + offset_, size_);
    release();
    block_ = copy;
    offset_ = 0;
}

std::uint8_t* SharedBuffer::get_writable_data() {
    detach();
    return block_->data + offset_;
}

void SharedBuffer::fill(std::uint8_t value) {
    std::uint8_t* const bytes = get_writable_data();
    if (size_ != 0) std::memset(bytes, value, size_);
}

std::uint32_t SharedBuffer::copy_from(std::uint32_t position, const SharedBuffer& source) {
    if (position > size_) return 0;
    std::uint32_t const count = source.size_ < size_ - position ? source.size_ : size_ - position;
    // The source is read after the detach: when it is this handle, it now is the copy.
    std::uint8_t* const target = get_writable_data() + position;
    if (count != 0) std::memmove(target, source.get_data(), count);
    return count;
}

}  // namespace liba
