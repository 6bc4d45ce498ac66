#include "platform/linux/kernel/handles.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

#include "platform/errors.h"
#include "platform/handles.h"

namespace platform::detail {
namespace {

struct HandleTable {
    std::mutex lock;
    std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> objects;
    std::uintptr_t next = 0x1000;
};

HandleTable& table() {
    static auto* const instance = new HandleTable;  // lives to the process end
    return *instance;
}

}  // namespace

DWORD KernelObject::wait(DWORD) { return WAIT_FAILED; }

HANDLE add_handle(std::shared_ptr<KernelObject> object) {
    auto& t = table();
    std::lock_guard guard(t.lock);
    std::uintptr_t const value = t.next;
    t.next += 4;
    t.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> find_handle(HANDLE handle) {
    auto& t = table();
    std::lock_guard guard(t.lock);
    auto const it = t.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == t.objects.end() ? nullptr : it->second;
}

bool remove_handle(HANDLE handle) {
    std::shared_ptr<KernelObject> last;  // released outside the table's lock
    auto& t = table();
    std::lock_guard guard(t.lock);
    auto const it = t.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == t.objects.end()) return false;
    last = std::move(it->second);
    t.objects.erase(it);
    return true;
}

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
