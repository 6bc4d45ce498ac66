// The one table behind the handles that this process hands out (inside the Linux back end
// only): kernel objects, wave devices, registry keys and drawing objects. A handle's value carries its kind,
// and a look-up names the kind it expects, so a handle of one kind never names an object of
// another and a closed handle never names a later object.
//
// Values: (serial << 8) | (kind << 3) | 4, below 2^32. The serial is never used again.
// Bit 2 is always set and bits 0-1 are clear, so a value never equals INVALID_HANDLE_VALUE,
// the registry's root keys (0x80000000-0x80000003) or a window (process id << 32 | serial).
//
// The table's lock is a leaf: nothing else is locked and no caller code runs while it is
// held, so callers may hold their own locks (the registry's) around a look-up.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/types.h"

namespace platform::detail {

enum class HandleKind : std::uint8_t { kernel_object = 1, wave_out, wave_in, registry_key, drawing_object };

// Never returns a value handed out before.
std::uintptr_t add_typed_handle(HandleKind kind, std::shared_ptr<void> object);
// Null when the handle is not a live handle of that kind.
std::shared_ptr<void> find_typed_handle(const void* handle, HandleKind kind);
// False when the handle is not a live handle of that kind; the object is left alone then.
bool remove_typed_handle(const void* handle, HandleKind kind);

class KernelObject {
public:
    virtual ~KernelObject() = default;
    // WaitForSingleObject on this object: WAIT_OBJECT_0, WAIT_TIMEOUT, WAIT_ABANDONED
    // or WAIT_FAILED (objects that cannot be waited for).
    virtual DWORD wait(DWORD timeout_ms);
};

// Kernel objects (threads, events, mutexes, files, processes) behind HANDLE values;
// CloseHandle drops the table's reference, and the object ends with its last user.
HANDLE add_handle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> find_handle(HANDLE handle);
bool remove_handle(HANDLE handle);

template <class T>
std::shared_ptr<T> find_handle_as(HANDLE handle) {
    return std::dynamic_pointer_cast<T>(find_handle(handle));
}

}  // namespace platform::detail
