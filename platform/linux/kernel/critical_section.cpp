#include <mutex>
#include <new>

#include "platform/kernel.h"

namespace {

using HostLock = std::recursive_mutex;
static_assert(sizeof(HostLock) <= sizeof(CRITICAL_SECTION::HostLock));
static_assert(alignof(HostLock) <= alignof(CRITICAL_SECTION));

HostLock& host_lock(LPCRITICAL_SECTION section) {
    return *std::launder(reinterpret_cast<HostLock*>(section->HostLock));
}

// The owner field is written by the owner and read by any thread that asks whether it
// owns the section; the accesses are atomic so that the question is never torn.
DWORD owner_of(LPCRITICAL_SECTION section) {
    return __atomic_load_n(&section->OwnerThread, __ATOMIC_RELAXED);
}

void set_owner(LPCRITICAL_SECTION section, DWORD owner) {
    __atomic_store_n(&section->OwnerThread, owner, __ATOMIC_RELAXED);
}

void note_entry(LPCRITICAL_SECTION section) {
    set_owner(section, GetCurrentThreadId());
    ++section->LockCount;
}

}  // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION section) {
    section->OwnerThread = 0;
    section->LockCount = 0;
    new (section->HostLock) HostLock;
}

void EnterCriticalSection(LPCRITICAL_SECTION section) {
    host_lock(section).lock();
    note_entry(section);
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section) {
    if (!host_lock(section).try_lock()) return FALSE;
    note_entry(section);
    return TRUE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION section) {
    if (owner_of(section) != GetCurrentThreadId()) return;
    if (--section->LockCount == 0) set_owner(section, 0);
    host_lock(section).unlock();
}

void DeleteCriticalSection(LPCRITICAL_SECTION section) {
    while (owner_of(section) == GetCurrentThreadId()) LeaveCriticalSection(section);
    host_lock(section).~HostLock();
}
