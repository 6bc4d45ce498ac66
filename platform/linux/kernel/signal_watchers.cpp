#include "platform/linux/kernel/signal_watchers.h"

#include <atomic>
#include <mutex>

namespace platform::detail {
namespace {

struct Watchers {
    std::mutex lock;
    std::list<std::function<void()>> wakes;
    std::atomic<int> count{0};  // lets signalling skip the lock while nobody watches
};

Watchers& watchers() {
    static auto* const instance = new Watchers;  // lives to the process end
    return *instance;
}

}  // namespace

SignalWatch::SignalWatch(std::function<void()> wake) {
    auto& w = watchers();
    std::lock_guard guard(w.lock);
    entry_ = w.wakes.insert(w.wakes.end(), std::move(wake));
    ++w.count;
}

SignalWatch::~SignalWatch() {
    auto& w = watchers();
    std::lock_guard guard(w.lock);
    w.wakes.erase(entry_);
    --w.count;
}

void notify_signal_watchers() {
    auto& w = watchers();
    if (w.count.load() == 0) return;
    std::lock_guard guard(w.lock);
    for (auto const& wake : w.wakes) wake();
}

}  // namespace platform::detail
