#pragma once

#include <cstddef>
#include <new>
#include <utility>

namespace liba {

// Holds an implementation record inside the object instead of on the heap, so that the
// record's type (and the platform types in it) stays out of the public header. Size is
// the record's size in bytes on the 32-bit device; the room is doubled for 64-bit hosts.
// The owner's source file, where Impl is complete, constructs and destroys the record.
template <class Impl, std::size_t Size>
class InplaceImpl {
protected:
    static constexpr std::size_t capacity = Size * 2;

    template <class... Args>
    void emplace_impl(Args&&... args) {
        static_assert(sizeof(Impl) <= capacity, "implementation record does not fit");
        new (storage_) Impl(std::forward<Args>(args)...);
    }
    void destroy_impl() { impl().~Impl(); }

    Impl& impl() { return *std::launder(reinterpret_cast<Impl*>(storage_)); }
    const Impl& impl() const { return *std::launder(reinterpret_cast<const Impl*>(storage_)); }

private:
    alignas(std::max_align_t) std::byte storage_[capacity];
};

}  // namespace liba
