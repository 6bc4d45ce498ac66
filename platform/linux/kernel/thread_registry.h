// The platform's record of every thread that uses it, found by thread id (inside the
// Linux back end only).
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/kernel.h"

namespace platform::detail {

class MessageQueue;

// One record per thread that has called into the platform, whether CreateThread made it or
// not. Per-thread services of the platform (suspension, priority, the message queue)
// keep their state here. A record is dropped from the registry when its thread ends;
// handles to the thread may still hold it.
struct ThreadRecord {
    explicit ThreadRecord(DWORD thread_id) : id(thread_id) {}
    ThreadRecord(const ThreadRecord&) = delete;
    ThreadRecord& operator=(const ThreadRecord&) = delete;

    DWORD const id;

    // Guards the fields below; `changed` is notified whenever one of them changes.
    std::mutex lock;
    std::condition_variable changed;
    int host_tid = 0;  // the kernel's id of the thread while it runs, else 0
    int priority = THREAD_PRIORITY_NORMAL;
    DWORD suspend_count = 0;
    bool resume_pending = false;  // a ResumeThread that came while not suspended
    std::shared_ptr<MessageQueue> queue;  // made at the thread's first message retrieval
};

// What a subsystem does when a thread ends (drop the thread's queue, windows, input...).
// Runs on the ending thread (or the one retiring its record), under no lock of the
// registry's or the record's.
using ThreadEndHandler = void (*)(ThreadRecord& record);
// Adds a handler for the end of every thread from now on; handlers run in the order they
// were added. Adding the same handler again changes nothing.
void on_thread_end(ThreadEndHandler handler);

// A record with a fresh id that can be found at once; the thread it is made for adopts it
// when it starts.
std::shared_ptr<ThreadRecord> make_thread_record();
// Makes the record the calling thread's own and notes the calling thread's kernel id.
void adopt_thread_record(const std::shared_ptr<ThreadRecord>& record);
// The calling thread's record, made on first use for threads that CreateThread did not make;
// null once the thread's own objects are being destroyed as it ends.
std::shared_ptr<ThreadRecord> current_thread_record();
// The calling thread's id; also while it ends, when its record is gone.
DWORD current_thread_id();
// Null when no running thread has that id.
std::shared_ptr<ThreadRecord> find_thread_record(DWORD id);
// The record can no longer be found, its kernel id is forgotten and the thread-end
// handlers run for it. Called when a thread ends (also at the end of threads that
// CreateThread did not make); repeated calls are harmless.
void retire_thread_record(ThreadRecord& record);

}  // namespace platform::detail
