// Threads, thread priorities, self-suspension, critical sections, events, interlocked
// counts, sleeping and the own process.
#pragma once

#include "platform/handles.h"  // waiting for threads and events, closing them
#include "platform/types.h"

// ---- Threads ----------------------------------------------------------------------------

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);

// Creation flag: the thread starts with a suspend count of 1 and runs after ResumeThread.
constexpr DWORD CREATE_SUSPENDED = 0x00000004;

// GetExitCodeThread's answer while the thread runs.
constexpr DWORD STILL_ACTIVE = 259;

// Security and stack size are ignored. The id is written to thread_id when it is not null;
// the handle is a waitable object that is signalled once the routine has returned.
// Returns null with a last error when no thread can be made.
HANDLE CreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stack_size,
                    LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                    LPDWORD thread_id);
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exit_code);

// Every thread has an id, whether CreateThread made it or not; 0 is never an id.
DWORD GetCurrentThreadId();
// A pseudo-handle that stands for the calling thread wherever a thread handle is taken.
// It needs no closing.
HANDLE GetCurrentThread();

// Priority values of the handheld: smaller is more urgent.
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 0;
constexpr int THREAD_PRIORITY_HIGHEST = 1;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 2;
constexpr int THREAD_PRIORITY_NORMAL = 3;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = 4;
constexpr int THREAD_PRIORITY_LOWEST = 5;
constexpr int THREAD_PRIORITY_ABOVE_IDLE = 6;
constexpr int THREAD_PRIORITY_IDLE = 7;
constexpr int THREAD_PRIORITY_ERROR_RETURN = 0x7FFFFFFF;

// False with a last error for a value outside 0..7, an unknown or ended thread, or when
// the host refuses the change (raising a priority usually needs privileges).
BOOL SetThreadPriority(HANDLE thread, int priority);
// The last value set successfully (THREAD_PRIORITY_NORMAL at first), or
// THREAD_PRIORITY_ERROR_RETURN for an unknown handle.
int GetThreadPriority(HANDLE thread);

// A thread may suspend only itself (its own handle or GetCurrentThread()); for any other
// thread the call fails: 0xFFFFFFFF with ERROR_INVALID_PARAMETER. Returns the previous
// suspend count.
// A ResumeThread that came while the thread was not suspended left a wake-up behind: the
// next SuspendThread takes it and returns 0 at once instead of sleeping.
DWORD SuspendThread(HANDLE thread);
// Lowers the suspend count and lets the thread run again when it reaches 0; a thread that
// is not suspended keeps one pending wake-up (see SuspendThread). Returns the previous count,
// or 0xFFFFFFFF with ERROR_INVALID_HANDLE for an unknown handle.
DWORD ResumeThread(HANDLE thread);

// ---- Critical sections ------------------------------------------------------------------

// A lock that its owner may enter again; it is left as often as it was entered.
// Callers may read the two counters; the rest is the host's lock.
struct CRITICAL_SECTION {
    DWORD OwnerThread;  // id of the thread inside, 0 when free
    DWORD LockCount;    // how often the owner has entered
    alignas(8) BYTE HostLock[56];
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;

void InitializeCriticalSection(LPCRITICAL_SECTION section);
void EnterCriticalSection(LPCRITICAL_SECTION section);
// TRUE when the section was free or is already the caller's; never waits.
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);
// Ignored when the caller is not the owner.
void LeaveCriticalSection(LPCRITICAL_SECTION section);
// A section that the caller still holds is left completely first.
void DeleteCriticalSection(LPCRITICAL_SECTION section);

// ---- Events -----------------------------------------------------------------------------

constexpr DWORD EVENT_PULSE = 1;
constexpr DWORD EVENT_RESET = 2;
constexpr DWORD EVENT_SET = 3;

// A manual-reset event stays signalled until reset and releases every waiter; an
// auto-reset event releases one waiter and turns non-signalled again. Only unnamed events
// exist so far: a name fails with ERROR_NOT_SUPPORTED.
HANDLE CreateEventW(LPSECURITY_ATTRIBUTES security, BOOL manual_reset, BOOL initial_state,
                    LPCWSTR name);
// EVENT_SET, EVENT_RESET or EVENT_PULSE (releases the threads waiting at that moment, as
// a set would, and leaves the event non-signalled).
BOOL EventModify(HANDLE event, DWORD function);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
BOOL PulseEvent(HANDLE event);

// ---- Interlocked counts -----------------------------------------------------------------

// Atomic for every thread of the process. Increment and decrement return the new value,
// exchange and compare-exchange the value found.
LONG InterlockedIncrement(LONG volatile* addend);
LONG InterlockedDecrement(LONG volatile* addend);
LONG InterlockedExchange(LONG volatile* target, LONG value);
// Stores exchange only when the value found equals comparand.
LONG InterlockedCompareExchange(LONG volatile* destination, LONG exchange, LONG comparand);

// ---- Time and the own process -----------------------------------------------------------

// Sleep(0) gives the rest of the time slice to other threads.
void Sleep(DWORD milliseconds);

// A pseudo-handle for the calling process; it needs no closing.
HANDLE GetCurrentProcess();
DWORD GetCurrentProcessId();
// For the own process: ends it at once with the exit code; no destructors, no atexit
// functions run. Other processes cannot be ended yet (FALSE, ERROR_INVALID_HANDLE).
BOOL TerminateProcess(HANDLE process, UINT exit_code);
