// The table of kernel objects behind HANDLE values (inside the Linux back end only).
// Each kind of object (thread, event, mutex, file, process) derives from KernelObject;
// CloseHandle drops the table's reference, and the object ends with its last user.
#pragma once

#include <memory>

#include "platform/types.h"

namespace platform::detail {

class KernelObject {
public:
    virtual ~KernelObject() = default;
    // WaitForSingleObject on this object: WAIT_OBJECT_0, WAIT_TIMEOUT, WAIT_ABANDONED
    // or WAIT_FAILED (objects that cannot be waited for).
    virtual DWORD wait(DWORD timeout_ms);
};

// Never returns a value handed out before, null or INVALID_HANDLE_VALUE.
HANDLE add_handle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> find_handle(HANDLE handle);
// False when the handle is not in the table.
bool remove_handle(HANDLE handle);

template <class T>
std::shared_ptr<T> find_handle_as(HANDLE handle) {
    return std::dynamic_pointer_cast<T>(find_handle(handle));
}

}  // namespace platform::detail
