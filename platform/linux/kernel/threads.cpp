// Threads: creation, waiting for their end, ids, priorities and self-suspension.
#include <pthread.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>

#include "platform/errors.h"
#include "platform/kernel.h"
#include "platform/linux/kernel/errors.h"
#include "platform/linux/kernel/handles.h"
#include "platform/linux/kernel/signal_watchers.h"
#include "platform/linux/kernel/thread_registry.h"
#include "platform/linux/kernel/waiting.h"

namespace platform::detail {
namespace {

constexpr DWORD failed_count = 0xFFFFFFFFu;

// The object behind a thread handle: signalled once the thread's routine has returned.
class ThreadObject final : public KernelObject {
public:
    explicit ThreadObject(std::shared_ptr<ThreadRecord> thread_record)
        : record(std::move(thread_record)) {}

    std::shared_ptr<ThreadRecord> const record;

    DWORD wait(DWORD timeout_ms) override {
        std::unique_lock guard(lock_);
        bool const ended = wait_with_timeout(changed_, guard, timeout_ms, [this] { return ended_; });
        return ended ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    }

    void mark_started() { update([this] { started_ = true; }); }
    void wait_until_started() {
        std::unique_lock guard(lock_);
        changed_.wait(guard, [this] { return started_; });
    }
    // Threads waiting for messages and objects at once (MsgWaitForMultipleObjects) look
    // again at once.
    void mark_ended(DWORD exit_code) {
        update([this, exit_code] {
            exit_code_ = exit_code;
            ended_ = true;
        });
        notify_signal_watchers();
    }
    DWORD exit_code() {
        std::lock_guard guard(lock_);
        return ended_ ? exit_code_ : STILL_ACTIVE;
    }

private:
    template <class Change>
    void update(Change change) {
        {
            std::lock_guard guard(lock_);
            change();
        }
        changed_.notify_all();
    }

    std::mutex lock_;
    std::condition_variable changed_;
    bool started_ = false;
    bool ended_ = false;
    DWORD exit_code_ = STILL_ACTIVE;
};

struct StartPacket {
    std::shared_ptr<ThreadObject> thread;
    LPTHREAD_START_ROUTINE start;
    LPVOID parameter;
};

void wait_while_suspended(ThreadRecord& record) {
    std::unique_lock guard(record.lock);
    record.changed.wait(guard, [&record] { return record.suspend_count == 0; });
}

void* run_thread(void* packet_address) {
    std::unique_ptr<StartPacket> const packet(static_cast<StartPacket*>(packet_address));
    ThreadObject& thread = *packet->thread;
    adopt_thread_record(thread.record);
    thread.mark_started();
    wait_while_suspended(*thread.record);
    DWORD const exit_code = packet->start(packet->parameter);
    // Forgotten before the handle is signalled: whoever saw the end finds no record.
    retire_thread_record(*thread.record);
    thread.mark_ended(exit_code);
    return nullptr;
}

bool start_host_thread(std::unique_ptr<StartPacket>& packet) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t host_thread;
    int const result = pthread_create(&host_thread, &attributes, run_thread, packet.get());
    pthread_attr_destroy(&attributes);
    if (result != 0) return false;
    packet.release();  // the thread owns it now
    return true;
}

HANDLE const current_thread_pseudo_handle =
    reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-2));

// The record of the thread a handle stands for; null (with ERROR_INVALID_HANDLE) when the
// handle is no thread's.
std::shared_ptr<ThreadRecord> record_of(HANDLE thread) {
    std::shared_ptr<ThreadRecord> record;
    if (thread == current_thread_pseudo_handle) {
        record = current_thread_record();
    } else if (auto const object = find_handle_as<ThreadObject>(thread)) {
        record = object->record;
    }
    if (!record) SetLastError(ERROR_INVALID_HANDLE);
    return record;
}

int const starting_nice_value = getpriority(PRIO_PROCESS, 0);

// Host nice values for the priorities 0..7, around the nice value the process started with.
int nice_value_for(int priority) {
    static constexpr int offsets[] = {-15, -10, -5, 0, 5, 10, 15, 19};
    return std::clamp(starting_nice_value + offsets[priority], -20, 19);
}

}  // namespace
}  // namespace platform::detail

using namespace platform::detail;

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD flags, LPDWORD thread_id) {
    if (!start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto record = make_thread_record();
    if (flags & CREATE_SUSPENDED) {
        std::lock_guard guard(record->lock);
        record->suspend_count = 1;
    }
    auto thread = std::make_shared<ThreadObject>(record);
    auto packet = std::make_unique<StartPacket>(StartPacket{thread, start, parameter});
    if (!start_host_thread(packet)) {
        retire_thread_record(*record);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // Its kernel id is known once it has started, so its priority can be set at once.
    thread->wait_until_started();
    if (thread_id) *thread_id = record->id;
    return add_handle(thread);
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exit_code) {
    if (!exit_code) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (thread == current_thread_pseudo_handle) {
        *exit_code = STILL_ACTIVE;
        return TRUE;
    }
    auto const object = find_handle_as<ThreadObject>(thread);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *exit_code = object->exit_code();
    return TRUE;
}

DWORD GetCurrentThreadId() { return current_thread_id(); }

HANDLE GetCurrentThread() { return current_thread_pseudo_handle; }

BOOL SetThreadPriority(HANDLE thread, int priority) {
    if (priority < THREAD_PRIORITY_TIME_CRITICAL || priority > THREAD_PRIORITY_IDLE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto const record = record_of(thread);
    if (!record) return FALSE;
    // Under the record's lock the thread cannot end, so its kernel id is not reused meanwhile.
    std::lock_guard guard(record->lock);
    if (record->host_tid == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (setpriority(PRIO_PROCESS, static_cast<id_t>(record->host_tid), nice_value_for(priority)) != 0) {
        set_last_error_from_errno();
        return FALSE;
    }
    record->priority = priority;
    return TRUE;
}

int GetThreadPriority(HANDLE thread) {
    auto const record = record_of(thread);
    if (!record) return THREAD_PRIORITY_ERROR_RETURN;
    std::lock_guard guard(record->lock);
    return record->priority;
}

DWORD SuspendThread(HANDLE thread) {
    auto const record = record_of(thread);
    if (!record) return failed_count;
    if (record->id != current_thread_id()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return failed_count;
    }
    std::unique_lock guard(record->lock);
    if (record->resume_pending) {
        record->resume_pending = false;
        return 0;
    }
    DWORD const previous = record->suspend_count++;
    record->changed.wait(guard, [&record] { return record->suspend_count == 0; });
    return previous;
}

DWORD ResumeThread(HANDLE thread) {
    auto const record = record_of(thread);
    if (!record) return failed_count;
    DWORD previous;
    {
        std::lock_guard guard(record->lock);
        previous = record->suspend_count;
        if (previous == 0) {
            record->resume_pending = true;
            return 0;
        }
        --record->suspend_count;
    }
    record->changed.notify_all();
    return previous;
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    if (milliseconds == INFINITE) {
        for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
