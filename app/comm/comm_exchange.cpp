#include "app/comm/comm_exchange.h"

#include "app/comm/comm_identifiers.h"
#include "platform/file_mapping.h"
#include "platform/handles.h"
#include "platform/kernel.h"
#include "platform/mutex.h"

namespace {

std::uint32_t served_exchange = 0;  // user-interface thread only

// Every holder of the reply lock lets it go after a few words of the shared block; one that
// keeps it longer is hung, and a waiter gives up on it rather than hang too.
constexpr DWORD reply_lock_wait_ms = 2000;

// The reply lock, held while it lives (when it could be taken). A lock abandoned by a
// process that ended holding it is taken over: the words it guards are whole at any time,
// and the stack under it belongs to the exchange's sender, which clears what a dead peer
// left half-written. Not taking it over would leave it held by this thread for good.
class ReplyLock {
public:
    explicit ReplyLock(HANDLE mutex) : mutex_(mutex) {
        if (!mutex_) return;
        DWORD const result = WaitForSingleObject(mutex_, reply_lock_wait_ms);
        owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    }
    ~ReplyLock() {
        if (owned_) ReleaseMutex(mutex_);
    }
    ReplyLock(const ReplyLock&) = delete;
    ReplyLock& operator=(const ReplyLock&) = delete;
    bool owned() const { return owned_; }

private:
    HANDLE const mutex_;
    bool owned_ = false;
};

constexpr DWORD exchange_block_size = 2 * sizeof(LONG);

}  // namespace

namespace {

// Lives until the process ends, as the channel does.
CommExchange*& installed() {
    static CommExchange* exchange = nullptr;
    return exchange;
}

}  // namespace

CommExchange& CommExchange::instance() {
    if (!installed()) installed() = new CommExchange;
    return *installed();
}

void CommExchange::reopen() {
    delete installed();
    installed() = new CommExchange;
}

CommExchange::~CommExchange() {
    if (words_) UnmapViewOfFile(const_cast<LONG*>(words_));
    if (mapping_) CloseHandle(mapping_);
    if (reply_lock_) CloseHandle(reply_lock_);
}

CommExchange::CommExchange() {
    reply_lock_ = CreateMutexW(nullptr, FALSE, comm_identifiers::reply_lock_name);
    mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, exchange_block_size,
                                  comm_identifiers::exchange_block_name);
    if (mapping_) {
        words_ = static_cast<LONG volatile*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, exchange_block_size));
    }
}

std::uint32_t CommExchange::begin() {
    if (!words_) return 0;
    ReplyLock const lock(reply_lock_);
    if (!lock.owned()) return 0;
    LONG number = InterlockedIncrement(last_given());
    if (number == 0) number = InterlockedIncrement(last_given());
    InterlockedExchange(current(), number);
    return static_cast<std::uint32_t>(number);
}

void CommExchange::end(std::uint32_t number) {
    if (!words_ || number == 0) return;
    // Without the lock (its holder hung) the exchange ends all the same: a stack operation
    // under way finishes, none starts after this.
    ReplyLock const lock(reply_lock_);
    InterlockedCompareExchange(current(), 0, static_cast<LONG>(number));
}

void CommExchange::end_current() {
    if (!words_) return;
    ReplyLock const lock(reply_lock_);
    InterlockedExchange(current(), 0);
}

bool CommExchange::run_if_current(std::uint32_t number, const std::function<bool()>& operation) {
    if (!words_) return false;
    ReplyLock const lock(reply_lock_);
    if (!lock.owned() || static_cast<std::uint32_t>(InterlockedCompareExchange(current(), 0, 0)) != number) {
        return false;
    }
    return operation();
}

std::uint32_t CommExchange::served() { return served_exchange; }

CommExchange::Serving::Serving(std::uint32_t number) : previous_(served_exchange) { served_exchange = number; }

CommExchange::Serving::~Serving() { served_exchange = previous_; }
