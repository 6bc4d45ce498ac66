#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <type_traits>

#include "foundation/critical_section.h"

namespace audio {

// The two kinds of stream end through which the stages of the engine exchange blocks:
// a Provider hands out blocks when asked (pull), a Consumer accepts blocks pushed into it
// (push). Two ends of one block type are linked by connect(). Stages never own their
// peers: whoever builds a chain owns its stages and unlinks them before destroying them.
//
// Every consumer end holds a lock, and every call into a peer takes the peer's lock: a
// push takes the downstream consumer's lock, a stage's pull takes its own lock while it
// pulls from upstream, and connect() writes both links under the consumer's lock. The
// locks are recursive, because a consumer's own work takes its lock again.

template <class T>
class Provider;
template <class T>
class Consumer;

template <class T>
void connect(Provider<T>* provider, std::type_identity_t<Consumer<T>>* consumer);

template <class T>
class Provider {
public:
    Provider() = default;
    Provider(const Provider&) = delete;
    Provider& operator=(const Provider&) = delete;
    virtual ~Provider() = default;

    // The next block; an empty block when there is nothing more. The count is in the
    // provider's own unit: sample frames for PCM, the reader's unit for coded blocks.
    virtual T get_data(std::uint32_t count) = 0;

    // Hands the block to the linked consumer under its lock; nothing when unlinked.
    void push_data(const T& block) {
        Consumer<T>* const consumer = consumer_.load(std::memory_order_acquire);
        if (consumer == nullptr) return;
        std::lock_guard<liba::CriticalSection> guard(consumer->get_lock());
        // A relink may have come between the look and the lock.
        if (consumer_.load(std::memory_order_acquire) != consumer) return;
        consumer->on_data(block);
    }

    Consumer<T>* get_consumer() const { return consumer_.load(std::memory_order_acquire); }

private:
    template <class U>
    friend void connect(Provider<U>* provider, std::type_identity_t<Consumer<U>>* consumer);

    std::atomic<Consumer<T>*> consumer_{nullptr};
};

template <class T>
class Consumer {
public:
    Consumer() = default;
    Consumer(const Consumer&) = delete;
    Consumer& operator=(const Consumer&) = delete;

    // Accepts one block; the base does nothing.
    virtual void on_data(const T& block) { static_cast<void>(block); }

    // Waits for a call in progress before the lock goes. Does not unlink.
    virtual ~Consumer() {
        lock_.lock();
        lock_.unlock();
    }

    // The linked provider's next block, or an empty block when nothing is linked.
    T pull_data(std::uint32_t count) {
        Provider<T>* const provider = provider_.load(std::memory_order_acquire);
        return provider != nullptr ? provider->get_data(count) : T();
    }

    Provider<T>* get_provider() const { return provider_.load(std::memory_order_acquire); }
    // The lock of the whole stage that this end belongs to.
    liba::CriticalSection& get_lock() { return lock_; }

private:
    template <class U>
    friend void connect(Provider<U>* provider, std::type_identity_t<Consumer<U>>* consumer);

    std::atomic<Provider<T>*> provider_{nullptr};
    liba::CriticalSection lock_;
};

// Links the two ends, first unlinking the provider from its old consumer. A null consumer
// only unlinks. Both links are written under the consumer's lock, so a relink never races
// a push into that consumer, and unlinking a stage that pulls under its own lock returns
// only when no pull through it is in progress.
template <class T>
void connect(Provider<T>* provider, std::type_identity_t<Consumer<T>>* consumer) {
    if (Consumer<T>* const old = provider->consumer_.load(std::memory_order_acquire)) {
        std::lock_guard<liba::CriticalSection> guard(old->get_lock());
        old->provider_.store(nullptr, std::memory_order_release);
        provider->consumer_.store(nullptr, std::memory_order_release);
    }
    if (consumer != nullptr) {
        std::lock_guard<liba::CriticalSection> guard(consumer->get_lock());
        consumer->provider_.store(provider, std::memory_order_release);
        provider->consumer_.store(consumer, std::memory_order_release);
    }
}

// A stage that turns each block into another, pulled or pushed. The lock of its consumer
// part guards the whole stage.
template <class In, class Out = In>
class Processor : public Consumer<In>, public Provider<Out> {
public:
    void on_data(const In& in) override {
        std::lock_guard<liba::CriticalSection> guard(this->get_lock());
        Out const out = process(in);
        this->push_data(out);
    }

    ~Processor() override = default;

    virtual Out process(const In& in) = 0;

    // The count goes upstream as received.
    Out get_data(std::uint32_t count) override {
        std::lock_guard<liba::CriticalSection> guard(this->get_lock());
        In const in = this->pull_data(count);
        return process(in);
    }
};

// Passes every block on unchanged (bytes shared, format copied).
template <class T>
class NullProcessor : public Processor<T, T> {
public:
    T process(const T& in) override { return in; }
};

}  // namespace audio
