#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/device.h"
#include "platform/errors.h"
#include "platform/linux/kernel/errors.h"
#include "platform/linux/files/entries.h"
#include "platform/linux/files/file_object.h"

namespace platform::detail {

FileObject::~FileObject() { close(descriptor_); }

std::shared_ptr<FileObject> find_file(HANDLE handle) {
    auto file = find_handle_as<FileObject>(handle);
    if (!file) SetLastError(ERROR_INVALID_HANDLE);
    return file;
}

}  // namespace platform::detail

namespace {

using platform::detail::FileObject;

bool ends_with_separator(std::u16string_view path) {
    return !path.empty() && (path.back() == u'\\' || path.back() == u'/');
}

// Characters that no device file name may hold (wildcards and the like).
bool has_invalid_name_character(std::u16string_view path) {
    for (char16_t const c : path) {
        if (c < 0x20) return true;
        if (std::u16string_view(u"*?<>|\":").find(c) != std::u16string_view::npos) return true;
    }
    return false;
}

bool is_folder(const std::string& host_path) {
    struct stat status;
    return stat(host_path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The platform tells a missing file from a missing folder on the way to it.
DWORD open_error(int host_error, const std::string& host_path) {
    if (host_error == ENOENT) {
        std::string const folder = host_path.substr(0, host_path.rfind('/'));
        return is_folder(folder) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    }
    if (host_error == EEXIST) return ERROR_FILE_EXISTS;
    return platform::detail::error_from_errno(host_error);
}

struct Opened {
    int descriptor = -1;
    bool existed = false;
};

int open_file(const std::string& path, int flags) {
    int descriptor;
    do {
        descriptor = open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

// Opens by the creation disposition and tells whether the file was there before, without
// a race between the test and the creation. An existing file is not emptied here: that waits
// until it is known to be writable.
Opened open_by_disposition(const std::string& path, int access_flags, DWORD creation) {
    switch (creation) {
    case CREATE_NEW: return {open_file(path, access_flags | O_CREAT | O_EXCL), false};
    case OPEN_EXISTING:
    case TRUNCATE_EXISTING: return {open_file(path, access_flags), true};
    case CREATE_ALWAYS:
    case OPEN_ALWAYS: {
        for (;;) {
            int descriptor = open_file(path, access_flags | O_CREAT | O_EXCL);
            if (descriptor >= 0 || errno != EEXIST) return {descriptor, false};
            descriptor = open_file(path, access_flags);
            if (descriptor >= 0 || errno != ENOENT) return {descriptor, true};
        }
    }
    default: errno = EINVAL; return {-1, false};
    }
}

// The device refuses to write a read-only file, whoever asks; the host would let its
// superuser do it.
DWORD check_opened(const Opened& opened, bool can_write, DWORD creation) {
    struct stat status;
    if (fstat(opened.descriptor, &status) != 0 || !S_ISREG(status.st_mode)) return ERROR_ACCESS_DENIED;
    if (!opened.existed) return ERROR_SUCCESS;
    if (can_write && platform::detail::is_read_only(status.st_mode)) return ERROR_ACCESS_DENIED;
    bool const empties = creation == CREATE_ALWAYS || creation == TRUNCATE_EXISTING;
    if (empties && ftruncate(opened.descriptor, 0) != 0) return platform::detail::error_from_errno(errno);
    return ERROR_SUCCESS;
}

HANDLE fail(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

}  // namespace

HANDLE CreateFileW(LPCWSTR file_name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD creation, DWORD,
                   HANDLE) {
    if (!file_name) return fail(ERROR_INVALID_PARAMETER);
    if (creation < CREATE_NEW || creation > TRUNCATE_EXISTING) return fail(ERROR_INVALID_PARAMETER);
    bool const can_read = (access & GENERIC_READ) != 0;
    bool const can_write = (access & GENERIC_WRITE) != 0;
    if (creation == TRUNCATE_EXISTING && !can_write) return fail(ERROR_INVALID_PARAMETER);
    std::u16string_view const name = file_name;
    if (ends_with_separator(name) || has_invalid_name_character(name)) return fail(ERROR_INVALID_NAME);
    auto const path = platform::host_path(name);
    if (!path) return INVALID_HANDLE_VALUE;

    int const access_flags = can_write ? (can_read ? O_RDWR : O_WRONLY) : O_RDONLY;
    Opened const opened = open_by_disposition(*path, access_flags, creation);
    if (opened.descriptor < 0) return fail(open_error(errno, *path));
    if (DWORD const error = check_opened(opened, can_write, creation); error != ERROR_SUCCESS) {
        close(opened.descriptor);
        return fail(error);
    }
    HANDLE const handle =
        platform::detail::add_handle(std::make_shared<FileObject>(opened.descriptor, can_read, can_write));
    bool const reports_existing = creation == CREATE_ALWAYS || creation == OPEN_ALWAYS;
    SetLastError(reports_existing && opened.existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD bytes_read, LPOVERLAPPED) {
    if (bytes_read) *bytes_read = 0;
    auto const object = platform::detail::find_file(file);
    if (!object) return FALSE;
    if (!object->can_read()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!buffer && count > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto* const bytes = static_cast<char*>(buffer);
    DWORD total = 0;
    while (total < count) {
        ssize_t const got = read(object->descriptor(), bytes + total, count - total);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            if (bytes_read) *bytes_read = total;
            platform::detail::set_last_error_from_errno();
            return FALSE;
        }
        total += static_cast<DWORD>(got);
    }
    if (bytes_read) *bytes_read = total;
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD bytes_written, LPOVERLAPPED) {
    if (bytes_written) *bytes_written = 0;
    auto const object = platform::detail::find_file(file);
    if (!object) return FALSE;
    if (!object->can_write()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!buffer && count > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto const* const bytes = static_cast<const char*>(buffer);
    DWORD total = 0;
    while (total < count) {
        ssize_t const put = write(object->descriptor(), bytes + total, count - total);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            if (bytes_written) *bytes_written = total;
            if (put == 0) SetLastError(ERROR_WRITE_FAULT);
            else platform::detail::set_last_error_from_errno();
            return FALSE;
        }
        total += static_cast<DWORD>(put);
    }
    if (bytes_written) *bytes_written = total;
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distance_high, DWORD move_method) {
    auto const object = platform::detail::find_file(file);
    if (!object) return INVALID_SET_FILE_POINTER;
    std::int64_t offset = distance;
    if (distance_high) {
        auto const high = static_cast<std::uint64_t>(static_cast<std::uint32_t>(*distance_high));
        offset = static_cast<std::int64_t>(high << 32 | static_cast<std::uint32_t>(distance));
    }
    int whence;
    switch (move_method) {
    case FILE_BEGIN: whence = SEEK_SET; break;
    case FILE_CURRENT: whence = SEEK_CUR; break;
    case FILE_END: whence = SEEK_END; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return INVALID_SET_FILE_POINTER;
    }
    std::int64_t base = 0;
    if (whence == SEEK_CUR) base = lseek(object->descriptor(), 0, SEEK_CUR);
    if (whence == SEEK_END) {
        struct stat status;
        base = fstat(object->descriptor(), &status) == 0 ? status.st_size : -1;
    }
    if (base < 0) {
        platform::detail::set_last_error_from_errno();
        return INVALID_SET_FILE_POINTER;
    }
    std::int64_t position;
    if (__builtin_add_overflow(base, offset, &position)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (position < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    if (!distance_high && position > 0xFFFFFFFFll) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (lseek(object->descriptor(), position, SEEK_SET) < 0) {
        platform::detail::set_last_error_from_errno();
        return INVALID_SET_FILE_POINTER;
    }
    if (distance_high) *distance_high = static_cast<LONG>(static_cast<std::uint64_t>(position) >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(position);
}

DWORD GetFileSize(HANDLE file, LPDWORD size_high) {
    auto const object = platform::detail::find_file(file);
    if (!object) return INVALID_FILE_SIZE;
    struct stat status;
    if (fstat(object->descriptor(), &status) != 0) {
        platform::detail::set_last_error_from_errno();
        return INVALID_FILE_SIZE;
    }
    auto const size = static_cast<std::uint64_t>(status.st_size);
    if (size_high) *size_high = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size);
}

BOOL SetEndOfFile(HANDLE file) {
    auto const object = platform::detail::find_file(file);
    if (!object) return FALSE;
    if (!object->can_write()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    off_t const here = lseek(object->descriptor(), 0, SEEK_CUR);
    if (here < 0 || ftruncate(object->descriptor(), here) != 0) {
        platform::detail::set_last_error_from_errno();
        return FALSE;
    }
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE file) {
    auto const object = platform::detail::find_file(file);
    if (!object) return FALSE;
    if (!object->can_write()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (fsync(object->descriptor()) != 0) {
        platform::detail::set_last_error_from_errno();
        return FALSE;
    }
    return TRUE;
}
