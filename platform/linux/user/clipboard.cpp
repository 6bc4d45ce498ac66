#include "platform/clipboard.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "platform/errors.h"
#include "platform/kernel.h"
#include "platform/linux/user/clipboard_store.h"
#include "platform/linux/kernel/errors.h"
#include "platform/linux/kernel/local_memory.h"

using platform::detail::ClipboardContents;

namespace {

// This process's hold on the clipboard.
struct Session {
    pid_t process = 0;
    DWORD thread = 0;
    HWND owner = nullptr;
    std::string folder;  // the run folder of the device whose clipboard is open
    int lock_fd = -1;    // holds the exclusive flock on the lock file
    // The blocks that belong to the clipboard: handed out by GetClipboardData or taken over
    // by SetClipboardData. One block may stand under several formats.
    std::map<UINT, HLOCAL> blocks;
};

struct ClipboardState {
    std::mutex lock;
    std::optional<Session> session;
};

void free_blocks(Session& session) {
    std::set<HLOCAL> unique;
    for (auto const& [format, block] : session.blocks) unique.insert(block);
    for (HLOCAL block : unique) LocalFree(block);
    session.blocks.clear();
}

ClipboardState& state();

// A child made by fork must not share the parent's hold: its copy of the lock descriptor
// would keep the parent's flock alive after the parent ended. Unlocking would release the
// parent's hold, so the child only closes its copy.
void before_fork() { state().lock.lock(); }
void after_fork_in_parent() { state().lock.unlock(); }
void after_fork_in_child() {
    ClipboardState& s = state();
    if (s.session && s.session->lock_fd >= 0) {
        ::close(s.session->lock_fd);
        s.session->lock_fd = -1;
    }
    s.lock.unlock();
}

ClipboardState& state() {
    static auto* const s = [] {
        auto* const created = new ClipboardState;  // lives to the process end
        pthread_atfork(before_fork, after_fork_in_parent, after_fork_in_child);
        return created;
    }();
    return *s;
}

// A session inherited from the parent process belongs to nobody here.
void drop_inherited_session(ClipboardState& s) {
    if (!s.session || s.session->process == ::getpid()) return;
    free_blocks(*s.session);
    if (s.session->lock_fd >= 0) ::close(s.session->lock_fd);
    s.session.reset();
}

// The session when the calling thread has the clipboard open, else null with the error set.
Session* own_session(ClipboardState& s) {
    drop_inherited_session(s);
    if (!s.session || s.session->thread != GetCurrentThreadId()) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return nullptr;
    }
    return &*s.session;
}

// Takes the device-wide hold; the descriptor that keeps it, or -1 with the last error set.
int take_device_hold(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    int const fd = ::open(platform::detail::clipboard_lock_file(folder).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        platform::detail::set_last_error_from_errno();
        return -1;
    }
    int result;
    while ((result = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (result != 0) {
        SetLastError(errno == EWOULDBLOCK ? ERROR_ACCESS_DENIED : platform::detail::error_from_errno(errno));
        ::close(fd);
        return -1;
    }
    return fd;
}

void free_block_unless_kept(Session& session, HLOCAL block) {
    for (auto const& [format, kept] : session.blocks) {
        if (kept == block) return;
    }
    LocalFree(block);
}

}  // namespace

BOOL OpenClipboard(HWND owner) {
    ClipboardState& s = state();
    std::lock_guard guard(s.lock);
    drop_inherited_session(s);
    if (s.session) {
        if (s.session->thread != GetCurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        s.session->owner = owner;
        return TRUE;
    }
    std::string folder = platform::detail::clipboard_folder();
    int const fd = take_device_hold(folder);
    if (fd < 0) return FALSE;
    s.session = Session{::getpid(), GetCurrentThreadId(), owner, std::move(folder), fd, {}};
    return TRUE;
}

BOOL CloseClipboard() {
    ClipboardState& s = state();
    std::lock_guard guard(s.lock);
    Session* const session = own_session(s);
    if (!session) return FALSE;
    free_blocks(*session);
    ::flock(session->lock_fd, LOCK_UN);
    ::close(session->lock_fd);
    s.session.reset();
    return TRUE;
}

BOOL EmptyClipboard() {
    ClipboardState& s = state();
    std::lock_guard guard(s.lock);
    Session* const session = own_session(s);
    if (!session) return FALSE;
    DWORD const error = platform::detail::write_clipboard(session->folder, ClipboardContents{});
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    free_blocks(*session);
    return TRUE;
}

HANDLE GetClipboardData(UINT format) {
    ClipboardState& s = state();
    std::lock_guard guard(s.lock);
    Session* const session = own_session(s);
    if (!session) return nullptr;
    if (auto const kept = session->blocks.find(format); kept != session->blocks.end()) return kept->second;

    ClipboardContents const contents = platform::detail::read_clipboard(session->folder);
    auto const found = contents.find(format);
    if (found == contents.end()) return nullptr;
    std::string const& bytes = found->second;
    HLOCAL const block = LocalAlloc(LMEM_MOVEABLE, bytes.size());
    if (!block) return nullptr;
    bytes.copy(static_cast<char*>(block), bytes.size());
    session->blocks[format] = block;
    return block;
}

HANDLE SetClipboardData(UINT format, HANDLE block) {
    ClipboardState& s = state();
    std::lock_guard guard(s.lock);
    Session* const session = own_session(s);
    if (!session) return nullptr;
    if (format == 0 || !block) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!platform::detail::is_local_block(block)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }

    ClipboardContents contents = platform::detail::read_clipboard(session->folder);
    contents[format].assign(static_cast<const char*>(block), LocalSize(block));
    DWORD const error = platform::detail::write_clipboard(session->folder, contents);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return nullptr;
    }
    HLOCAL const replaced = session->blocks.count(format) ? session->blocks[format] : nullptr;
    session->blocks[format] = block;
    if (replaced && replaced != block) free_block_unless_kept(*session, replaced);
    return block;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    return platform::detail::read_clipboard(platform::detail::clipboard_folder()).count(format) ? TRUE : FALSE;
}
