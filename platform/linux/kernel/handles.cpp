#include "platform/linux/kernel/handles.h"

#include <mutex>
#include <unordered_map>

#include "platform/errors.h"
#include "platform/handles.h"

namespace platform::detail {
namespace {

constexpr std::uintptr_t kind_shift = 3;
constexpr std::uintptr_t kind_mask = 0x1F;
constexpr std::uintptr_t serial_shift = 8;
constexpr std::uintptr_t handle_mark = 4;
constexpr std::uint32_t last_serial = 0xFFFFFF;  // keeps every value below 2^32

struct Entry {
    HandleKind kind;
    std::shared_ptr<void> object;
};

struct HandleTable {
    std::mutex lock;
    std::unordered_map<std::uintptr_t, Entry> entries;
    std::uint32_t next_serial = 1;
};

HandleTable& table() {
    static auto* const instance = new HandleTable;  // lives to the process end
    return *instance;
}

std::uintptr_t value_of(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }

bool has_kind(std::uintptr_t value, HandleKind kind) {
    return (value & 7) == handle_mark && ((value >> kind_shift) & kind_mask) == static_cast<std::uintptr_t>(kind) &&
           value >> 32 == 0;
}

}  // namespace

std::uintptr_t add_typed_handle(HandleKind kind, std::shared_ptr<void> object) {
    auto& t = table();
    std::lock_guard guard(t.lock);
    if (t.next_serial > last_serial) return 0;  // 16 million handles in one process: none left
    std::uintptr_t const value = (std::uintptr_t{t.next_serial++} << serial_shift) |
                                 (static_cast<std::uintptr_t>(kind) << kind_shift) | handle_mark;
    t.entries.emplace(value, Entry{kind, std::move(object)});
    return value;
}

std::shared_ptr<void> find_typed_handle(const void* handle, HandleKind kind) {
    std::uintptr_t const value = value_of(handle);
    if (!has_kind(value, kind)) return nullptr;
    auto& t = table();
    std::lock_guard guard(t.lock);
    auto const it = t.entries.find(value);
    return it == t.entries.end() || it->second.kind != kind ? nullptr : it->second.object;
}

bool remove_typed_handle(const void* handle, HandleKind kind) {
    std::uintptr_t const value = value_of(handle);
    if (!has_kind(value, kind)) return false;
    std::shared_ptr<void> last;  // released outside the table's lock
    auto& t = table();
    std::lock_guard guard(t.lock);
    auto const it = t.entries.find(value);
    if (it == t.entries.end() || it->second.kind != kind) return false;
    last = std::move(it->second.object);
    t.entries.erase(it);
    return true;
}

DWORD KernelObject::wait(DWORD) { return WAIT_FAILED; }

HANDLE add_handle(std::shared_ptr<KernelObject> object) {
    return reinterpret_cast<HANDLE>(add_typed_handle(HandleKind::kernel_object, std::move(object)));
}

std::shared_ptr<KernelObject> find_handle(HANDLE handle) {
    return std::static_pointer_cast<KernelObject>(find_typed_handle(handle, HandleKind::kernel_object));
}

bool remove_handle(HANDLE handle) { return remove_typed_handle(handle, HandleKind::kernel_object); }

}  // namespace platform::detail

DWORD WaitForSingleObject(HANDLE handle, DWORD timeout_ms) {
    auto const object = platform::detail::find_handle(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    DWORD const result = object->wait(timeout_ms);
    if (result == WAIT_FAILED) SetLastError(ERROR_INVALID_HANDLE);
    return result;
}

BOOL CloseHandle(HANDLE handle) {
    if (!platform::detail::remove_handle(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
