// Mutexes. A named mutex is shared by the device's processes through two files in
// <device>/run/mutexes/: "<name>.lock", whose exclusive flock the owning process holds and
// whose first byte says whether an owner holds it ('1'), and "<name>.open", on which every
// process with an open handle holds a shared flock, so that a creator can tell whether the
// mutex exists. The kernel drops a dead process's flocks; the '1' it leaves behind makes
// the next wait report WAIT_ABANDONED.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <optional>
#include <mutex>
#include <thread>

#include "platform/device.h"
#include "platform/errors.h"
#include "platform/mutex.h"
#include "platform/linux/kernel/signal_watchers.h"
#include "platform/linux/kernel/handles.h"
#include "platform/linux/kernel/run_folder.h"
#include "platform/linux/kernel/thread_registry.h"
#include "platform/unicode.h"

namespace platform::detail {
namespace {

using Clock = std::chrono::steady_clock;

int open_file(const std::string& path) { return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600); }

bool flock_retrying(int fd, int operation) {
    while (::flock(fd, operation) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

// Takes the exclusive lock of the file by the deadline (none: wait as long as it takes).
bool lock_file_by(int fd, std::optional<Clock::time_point> deadline) {
    if (!deadline) return flock_retrying(fd, LOCK_EX);
    for (;;) {
        if (flock_retrying(fd, LOCK_EX | LOCK_NB)) return true;
        if (errno != EWOULDBLOCK || Clock::now() >= *deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void write_mark(int fd, char mark) {
    while (::pwrite(fd, &mark, 1, 0) < 0 && errno == EINTR) {
    }
}

char read_mark(int fd) {
    char mark = '0';
    ssize_t n;
    while ((n = ::pread(fd, &mark, 1, 0)) < 0 && errno == EINTR) {
    }
    return n == 1 ? mark : '0';
}

class MutexState {
public:
    MutexState(int lock_fd, int open_fd) : lock_fd_(lock_fd), open_fd_(open_fd) {}
    ~MutexState() {
        if (lock_fd_ >= 0) ::close(lock_fd_);
        if (open_fd_ >= 0) ::close(open_fd_);
    }
    MutexState(const MutexState&) = delete;
    MutexState& operator=(const MutexState&) = delete;

    DWORD wait(DWORD timeout_ms) {
        DWORD const me = current_thread_id();
        std::optional<Clock::time_point> deadline;
        if (timeout_ms != INFINITE) deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
        std::unique_lock guard(lock_);
        if (owner_ == me) {
            ++count_;
            return WAIT_OBJECT_0;
        }
        while (owner_ != 0) {
            if (!find_thread_record(owner_)) {  // the owning thread ended without releasing
                owner_ = me;
                count_ = 1;
                return WAIT_ABANDONED;
            }
            if (deadline && Clock::now() >= *deadline) return WAIT_TIMEOUT;
            // Slices, so that an owner's end is noticed although nobody signals it.
            changed_.wait_for(guard, std::chrono::milliseconds(20));
        }
        owner_ = me;
        count_ = 1;
        if (lock_fd_ < 0) return WAIT_OBJECT_0;
        guard.unlock();
        bool const taken = lock_file_by(lock_fd_, deadline);
        guard.lock();
        if (!taken) {
            owner_ = 0;
            count_ = 0;
            changed_.notify_all();
            return WAIT_TIMEOUT;
        }
        bool const abandoned = read_mark(lock_fd_) == '1';
        write_mark(lock_fd_, '1');
        return abandoned ? WAIT_ABANDONED : WAIT_OBJECT_0;
    }

    bool release() {
        {
            std::lock_guard guard(lock_);
            if (owner_ != current_thread_id()) return false;
            if (--count_ != 0) return true;
            if (lock_fd_ >= 0) {
                write_mark(lock_fd_, '0');
                flock_retrying(lock_fd_, LOCK_UN);
            }
            owner_ = 0;
            changed_.notify_all();
        }
        notify_signal_watchers();
        return true;
    }

private:
    int const lock_fd_;
    int const open_fd_;
    std::mutex lock_;
    std::condition_variable changed_;
    DWORD owner_ = 0;
    DWORD count_ = 0;
};

class MutexObject final : public KernelObject {
public:
    explicit MutexObject(std::shared_ptr<MutexState> mutex_state) : state(std::move(mutex_state)) {}
    DWORD wait(DWORD timeout_ms) override { return state->wait(timeout_ms); }
    std::shared_ptr<MutexState> const state;
};

struct NamedMutexes {
    std::mutex lock;
    std::map<std::string, std::weak_ptr<MutexState>> states;  // by device and name
};

NamedMutexes& named_mutexes() {
    static auto* const instance = new NamedMutexes;  // lives to the process end
    return *instance;
}

// Opens the files of a named mutex; `existed` tells whether another process has it open.
std::shared_ptr<MutexState> open_named(std::u16string_view name, bool& existed) {
    std::string const folder = run_subfolder("mutexes");
    std::string const base = folder + "/" + run_file_name(name);
    int const lock_fd = open_file(base + ".lock");
    int const open_fd = open_file(base + ".open");
    int const guard_fd = open_file(folder + "/.guard");
    if (lock_fd < 0 || open_fd < 0 || guard_fd < 0) {
        for (int fd : {lock_fd, open_fd, guard_fd}) {
            if (fd >= 0) ::close(fd);
        }
        return nullptr;
    }
    // Under the guard no other creator runs between the test and the shared lock.
    flock_retrying(guard_fd, LOCK_EX);
    existed = !flock_retrying(open_fd, LOCK_EX | LOCK_NB);
    if (!existed) write_mark(lock_fd, '0');  // a mutex made afresh has no owner to abandon it
    flock_retrying(open_fd, LOCK_SH);
    ::close(guard_fd);
    return std::make_shared<MutexState>(lock_fd, open_fd);
}

}  // namespace
}  // namespace platform::detail

using namespace platform::detail;

HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL initial_owner, LPCWSTR name) {
    std::shared_ptr<MutexState> state;
    bool existed = false;
    if (!name) {
        state = std::make_shared<MutexState>(-1, -1);
    } else {
        auto& table = named_mutexes();
        std::lock_guard guard(table.lock);
        std::string const key = device_key() + '\n' + platform::utf16_to_utf8(name);
        state = table.states[key].lock();
        existed = state != nullptr;
        if (!state) {
            state = open_named(name, existed);
            if (!state) {
                SetLastError(ERROR_ACCESS_DENIED);
                return nullptr;
            }
            table.states[key] = state;
        }
    }
    if (initial_owner && !existed) state->wait(INFINITE);
    HANDLE const handle = add_handle(std::make_shared<MutexObject>(state));
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL ReleaseMutex(HANDLE mutex) {
    auto const object = find_handle_as<MutexObject>(mutex);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!object->state->release()) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    return TRUE;
}
