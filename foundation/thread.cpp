#include "foundation/thread.h"

#include <atomic>
#include <mutex>
#include <unordered_set>

#include "foundation/com_initializer.h"
#include "platform/handles.h"
#include "platform/kernel.h"

namespace liba {

struct ThreadImpl {
    // Held while a thread runs for the object. Whoever takes it out by an exchange
    // (the end of the body, join or the destructor) closes it, so it is closed once.
    std::atomic<HANDLE> handle{nullptr};
    DWORD id = 0;
    std::atomic<std::uint8_t> stop{0};
};

namespace {

constexpr std::uint32_t no_thread = 0xFFFFFFFFu;

// Ids of threads whose object was destroyed while they still ran: their entry routine must
// no longer touch the object.
struct Orphans {
    std::mutex lock;
    std::unordered_set<DWORD> ids;
};

Orphans& orphans() {
    static auto* const instance = new Orphans;  // lives to the process end
    return *instance;
}

int platform_priority(int level) {
    static constexpr int table[] = {THREAD_PRIORITY_LOWEST, THREAD_PRIORITY_BELOW_NORMAL,
                                    THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_ABOVE_NORMAL,
                                    THREAD_PRIORITY_HIGHEST};
    if (level < -2) level = -2;
    if (level > 2) level = 2;
    return table[level + 2];
}

}  // namespace

Thread::Thread() { emplace_impl(); }

Thread::~Thread() {
    std::lock_guard guard(orphans().lock);
    if (HANDLE const handle = impl().handle.exchange(nullptr)) {
        orphans().ids.insert(impl().id);
        CloseHandle(handle);
    }
    destroy_impl();
}

bool Thread::start() {
    ThreadImpl& state = impl();
    if (state.handle.load() != nullptr) return false;
    state.stop.store(0, std::memory_order_relaxed);
    DWORD id = 0;
    // Made suspended so that handle and id are stored before the body can run and end.
    HANDLE const handle = CreateThread(nullptr, 0, &Thread::thread_proc, this, CREATE_SUSPENDED, &id);
    if (!handle) return false;
    state.id = id;
    state.handle.store(handle);
    ResumeThread(handle);
    return true;
}

void Thread::request_stop() { impl().stop.store(1, std::memory_order_relaxed); }

bool Thread::is_stop_requested() const { return impl().stop.load(std::memory_order_relaxed) != 0; }

void Thread::join() {
    // Taken over before the wait, so that the end of the body finds nothing to close.
    HANDLE const handle = impl().handle.exchange(nullptr);
    if (!handle) return;
    WaitForSingleObject(handle, INFINITE);
    CloseHandle(handle);
}

bool Thread::set_priority(int level) {
    HANDLE const handle = handle_for_call();
    return handle && SetThreadPriority(handle, platform_priority(level));
}

std::uint32_t Thread::suspend() {
    HANDLE const handle = handle_for_call();
    return handle ? SuspendThread(handle) : no_thread;
}

std::uint32_t Thread::resume() {
    HANDLE const handle = handle_for_call();
    return handle ? ResumeThread(handle) : no_thread;
}

std::uint32_t Thread::get_id() const { return impl().id; }

// The thread itself always reaches itself, also while a joiner holds the handle; other
// threads go through the handle while one is held.
void* Thread::handle_for_call() const {
    if (impl().id != 0 && impl().id == GetCurrentThreadId()) return GetCurrentThread();
    return impl().handle.load();
}

std::uint32_t Thread::thread_proc(void* parameter) {
    os::ComInitializer const com;
    auto* const thread = static_cast<Thread*>(parameter);
    thread->run();
    release_handle_at_end(thread);
    return 0;
}

// Touches the object only when it still exists: once its handle is taken out here, the
// owner may destroy it at any moment.
void Thread::release_handle_at_end(Thread* thread) {
    HANDLE handle = nullptr;
    {
        std::lock_guard guard(orphans().lock);
        if (orphans().ids.erase(GetCurrentThreadId()) == 0) handle = thread->impl().handle.exchange(nullptr);
    }
    if (handle) CloseHandle(handle);
}

}  // namespace liba
