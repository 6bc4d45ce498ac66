// Shared memory. A named block lives in <device>/run/mappings/ as two files: "<name>.map"
// holds its bytes (mapped shared by every user) and "<name>.open" carries a shared flock of
// every process that has a handle or a view. Host files outlive their processes, so the
// flocks tell whether anybody still uses a block: the kernel drops a dead process's locks,
// and a creator that finds no lock zero-fills whatever was left behind. The last user
// removes both files. Creators and last users take "<mappings>/.guard" exclusively, so that
// no process opens a block while another removes it.
#include "platform/file_mapping.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/errors.h"
#include "platform/linux/errors.h"
#include "platform/linux/handles.h"
#include "platform/linux/run_folder.h"
#include "platform/unicode.h"

namespace platform::detail {
namespace {

bool flock_retrying(int fd, int operation) {
    while (::flock(fd, operation) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

int open_file(const std::string& path) { return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600); }

void close_if_open(int fd) {
    if (fd >= 0) ::close(fd);
}

// Holds "<mappings>/.guard" exclusively while it lives.
class GuardLock {
public:
    explicit GuardLock(const std::string& folder) : fd_(open_file(folder + "/.guard")) {
        if (fd_ >= 0) flock_retrying(fd_, LOCK_EX);
    }
    ~GuardLock() { close_if_open(fd_); }
    GuardLock(const GuardLock&) = delete;
    GuardLock& operator=(const GuardLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int const fd_;
};

// One block as this process uses it: shared by its handles and views.
class Block {
public:
    Block(int data_fd, int open_fd, std::string folder, std::string base_path, SIZE_T size)
        : data_fd_(data_fd), open_fd_(open_fd), folder_(std::move(folder)), base_path_(std::move(base_path)),
          size_(size) {}
    ~Block() {
        if (open_fd_ >= 0) release_use();
        close_if_open(data_fd_);
    }
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;

    int data_fd() const { return data_fd_; }
    SIZE_T size() const { return size_; }

private:
    // Removes the files when no other process holds the block.
    void release_use() {
        GuardLock guard(folder_);
        if (guard.held() && flock_retrying(open_fd_, LOCK_EX | LOCK_NB)) {
            ::unlink((base_path_ + ".map").c_str());
            ::unlink((base_path_ + ".open").c_str());
        }
        ::close(open_fd_);
    }

    int const data_fd_;
    int const open_fd_;  // -1 for a block without a name
    std::string const folder_;
    std::string const base_path_;
    SIZE_T const size_;
};

class MappingObject final : public KernelObject {
public:
    MappingObject(std::shared_ptr<Block> mapped_block, bool read_only) : block(std::move(mapped_block)), writable(!read_only) {}
    std::shared_ptr<Block> const block;
    bool const writable;
};

struct View {
    std::shared_ptr<Block> block;
    void* mapped;
    SIZE_T mapped_size;
    bool writable = false;
};

struct Tables {
    std::mutex lock;
    std::map<std::string, std::weak_ptr<Block>> named;  // by device and name
    std::map<const void*, View> views;                 // by the address handed out
};

Tables& tables() {
    static auto* const instance = new Tables;  // lives to the process end
    return *instance;
}

bool resize_zeroed(int fd, SIZE_T size) {
    return ::ftruncate(fd, 0) == 0 && ::ftruncate(fd, static_cast<off_t>(size)) == 0;
}

std::shared_ptr<Block> private_block(SIZE_T size) {
    int const fd = ::memfd_create("sonbrix-mapping", MFD_CLOEXEC);
    if (fd < 0 || !resize_zeroed(fd, size)) {
        set_last_error_from_errno();
        close_if_open(fd);
        return nullptr;
    }
    return std::make_shared<Block>(fd, -1, std::string(), std::string(), size);
}

// Opens or makes the named block of the current device; `existed` tells which.
std::shared_ptr<Block> open_named_block(std::u16string_view name, SIZE_T size, bool& existed) {
    std::string const folder = run_subfolder("mappings");
    std::string const base_path = folder + "/" + run_file_name(name);
    GuardLock guard(folder);
    int const data_fd = guard.held() ? open_file(base_path + ".map") : -1;
    int const open_fd = guard.held() ? open_file(base_path + ".open") : -1;
    auto fail = [&] {
        set_last_error_from_errno();
        close_if_open(data_fd);
        close_if_open(open_fd);
        return std::shared_ptr<Block>();
    };
    if (data_fd < 0 || open_fd < 0) return fail();
    existed = !flock_retrying(open_fd, LOCK_EX | LOCK_NB);
    if (existed) {
        struct stat status;
        if (::fstat(data_fd, &status) != 0) return fail();
        if (status.st_size <= 0) {
            errno = EINVAL;
            return fail();
        }
        size = static_cast<SIZE_T>(status.st_size);
    } else if (!resize_zeroed(data_fd, size)) {
        return fail();
    }
    flock_retrying(open_fd, LOCK_SH);
    return std::make_shared<Block>(data_fd, open_fd, folder, base_path, size);
}

}  // namespace
}  // namespace platform::detail

using namespace platform::detail;

HANDLE CreateFileMappingW(HANDLE file, LPSECURITY_ATTRIBUTES, DWORD protection, DWORD size_high, DWORD size_low,
                          LPCWSTR name) {
    if (file != INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    if ((protection != PAGE_READWRITE && protection != PAGE_READONLY) || size_high != 0 || size_low == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::shared_ptr<Block> block;
    bool existed = false;
    if (!name) {
        block = private_block(size_low);
    } else {
        auto& t = tables();
        std::lock_guard guard(t.lock);
        std::string const key = device_key() + '\n' + platform::utf16_to_utf8(name);
        block = t.named[key].lock();
        existed = block != nullptr;
        if (!block) {
            block = open_named_block(name, size_low, existed);
            if (block) t.named[key] = block;
        }
    }
    if (!block) return nullptr;
    HANDLE const handle = add_handle(std::make_shared<MappingObject>(block, protection == PAGE_READONLY));
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offset_high, DWORD offset_low, SIZE_T bytes) {
    auto const object = find_handle_as<MappingObject>(mapping);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    bool const write = (access & FILE_MAP_WRITE) != 0;
    if (write && !object->writable) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    SIZE_T const size = object->block->size();
    if (offset_high != 0 || offset_low >= size || bytes > size - offset_low) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    void* const mapped =
        ::mmap(nullptr, size, PROT_READ | (write ? PROT_WRITE : 0), MAP_SHARED, object->block->data_fd(), 0);
    if (mapped == MAP_FAILED) {
        set_last_error_from_errno();
        return nullptr;
    }
    void* const address = static_cast<char*>(mapped) + offset_low;
    auto& t = tables();
    std::lock_guard guard(t.lock);
    t.views[address] = View{object->block, mapped, size, write};
    return address;
}

BOOL UnmapViewOfFile(LPCVOID address) {
    View view;
    {
        auto& t = tables();
        std::lock_guard guard(t.lock);
        auto const found = t.views.find(address);
        if (found == t.views.end()) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        view = std::move(found->second);
        t.views.erase(found);
    }
    ::munmap(view.mapped, view.mapped_size);
    return TRUE;
}

namespace {

// TRUE when the range lies in a view whose block's storage no longer reaches its end.
BOOL outside_stored_block(const void* address, UINT_PTR size, bool for_writing) {
    auto const* const start = static_cast<const char*>(address);
    auto& t = tables();
    std::lock_guard guard(t.lock);
    for (auto const& [handed_out, view] : t.views) {
        auto const* const mapped = static_cast<const char*>(view.mapped);
        if (start < mapped || start >= mapped + view.mapped_size) continue;
        auto const offset = static_cast<std::uint64_t>(start - mapped);
        if (size > view.mapped_size - offset || (for_writing && !view.writable)) return TRUE;
        struct stat status;
        if (::fstat(view.block->data_fd(), &status) != 0) return TRUE;
        return offset + size > static_cast<std::uint64_t>(status.st_size) ? TRUE : FALSE;
    }
    return FALSE;
}

}  // namespace

BOOL IsBadReadPtr(const void* address, UINT_PTR size) {
    if (size == 0) return FALSE;
    if (!address) return TRUE;
    return outside_stored_block(address, size, false);
}

BOOL IsBadWritePtr(LPVOID address, UINT_PTR size) {
    if (size == 0) return FALSE;
    if (!address) return TRUE;
    return outside_stored_block(address, size, true);
}
