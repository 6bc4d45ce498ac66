#include "platform/linux/kernel/thread_registry.h"

#include "platform/testing.h"

#include <unistd.h>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace platform::detail {
namespace {

struct Registry {
    std::mutex lock;
    std::unordered_map<DWORD, std::shared_ptr<ThreadRecord>> records;
    std::vector<ThreadEndHandler> end_handlers;
    DWORD next_id = 1;
};

Registry& registry() {
    static auto* const instance = new Registry;  // lives to the process end
    return *instance;
}

// The calling thread's record; retires it when the thread ends.
struct CurrentRecord {
    std::shared_ptr<ThreadRecord> record;
    ~CurrentRecord();
};

thread_local CurrentRecord current;
// Plain values that outlive `current`: objects destroyed after it (the main thread's static
// objects, for one) still learn the thread's id.
thread_local DWORD current_id = 0;
thread_local bool current_gone = false;

CurrentRecord::~CurrentRecord() {
    current_gone = true;
    if (record) retire_thread_record(*record);
}

DWORD allocate_id(Registry& r) {
    DWORD id;
    do {
        id = r.next_id++;
    } while (id == 0 || r.records.count(id) != 0);
    return id;
}

}  // namespace

std::shared_ptr<ThreadRecord> make_thread_record() {
    auto& r = registry();
    std::lock_guard guard(r.lock);
    auto record = std::make_shared<ThreadRecord>(allocate_id(r));
    r.records.emplace(record->id, record);
    return record;
}

void adopt_thread_record(const std::shared_ptr<ThreadRecord>& record) {
    {
        std::lock_guard guard(record->lock);
        record->host_tid = static_cast<int>(gettid());
    }
    record->changed.notify_all();
    current_id = record->id;
    current.record = record;
}

std::shared_ptr<ThreadRecord> current_thread_record() {
    if (current_gone) return nullptr;
    if (!current.record) adopt_thread_record(make_thread_record());
    return current.record;
}

DWORD current_thread_id() {
    if (current_id != 0) return current_id;
    if (!current_gone) return current_thread_record()->id;
    auto& r = registry();  // a thread that first asks while it ends
    std::lock_guard guard(r.lock);
    current_id = allocate_id(r);
    return current_id;
}

std::shared_ptr<ThreadRecord> find_thread_record(DWORD id) {
    auto& r = registry();
    std::lock_guard guard(r.lock);
    auto const it = r.records.find(id);
    return it == r.records.end() ? nullptr : it->second;
}

void on_thread_end(ThreadEndHandler handler) {
    auto& r = registry();
    std::lock_guard guard(r.lock);
    if (std::find(r.end_handlers.begin(), r.end_handlers.end(), handler) == r.end_handlers.end()) {
        r.end_handlers.push_back(handler);
    }
}

void retire_thread_record(ThreadRecord& record) {
    {
        std::lock_guard guard(record.lock);
        record.host_tid = 0;
    }
    std::vector<ThreadEndHandler> handlers;
    {
        std::lock_guard guard(registry().lock);
        handlers = registry().end_handlers;
    }
    for (ThreadEndHandler const handler : handlers) handler(record);
    std::shared_ptr<ThreadRecord> last;  // released outside the registry's lock
    auto& r = registry();
    std::lock_guard guard(r.lock);
    auto const it = r.records.find(record.id);
    if (it != r.records.end() && it->second.get() == &record) {
        last = std::move(it->second);
        r.records.erase(it);
    }
}

}  // namespace platform::detail

bool platform::thread_is_known(DWORD thread_id) { return platform::detail::find_thread_record(thread_id) != nullptr; }

bool platform::thread_is_suspended(DWORD thread_id) {
    auto const record = platform::detail::find_thread_record(thread_id);
    if (!record) return false;
    std::lock_guard guard(record->lock);
    return record->suspend_count > 0;
}
