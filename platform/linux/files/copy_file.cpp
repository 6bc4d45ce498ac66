// Copying one file: CopyFileW.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/linux/files/entries.h"
#include "platform/linux/kernel/errors.h"
#include "platform/linux/files/host_copy.h"

namespace {

using platform::detail::entry_error;
using platform::detail::fail_with;

// Whether an existing target may be replaced; sets the last error when not.
bool may_replace(const struct stat& source, const std::string& to, bool fail_if_exists) {
    struct stat target;
    if (lstat(to.c_str(), &target) != 0) return true;
    if (fail_if_exists) return fail_with(ERROR_FILE_EXISTS);
    if (stat(to.c_str(), &target) != 0) return true;  // a link to nothing
    if (S_ISDIR(target.st_mode)) return fail_with(ERROR_ACCESS_DENIED);
    if (target.st_dev == source.st_dev && target.st_ino == source.st_ino) return fail_with(ERROR_SHARING_VIOLATION);
    if (platform::detail::is_read_only(target.st_mode)) return fail_with(ERROR_ACCESS_DENIED);
    return true;
}

// Writes the copy beside the target under a passing name; 0 or the host error.
int write_copy(const std::string& from, const struct stat& source, std::string& copy) {
    int const input = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (input < 0) return errno;
    int const output = mkostemp(copy.data(), O_CLOEXEC);
    if (output < 0) {
        int const error = errno;
        close(input);
        return error;
    }
    int error = platform::detail::copy_file_data(input, output);
    if (!error) error = platform::detail::copy_file_status(output, source);
    close(input);
    if (close(output) != 0 && !error) error = errno;
    if (error) unlink(copy.c_str());
    return error;
}

}  // namespace

BOOL CopyFileW(LPCWSTR existing_file_name, LPCWSTR new_file_name, BOOL fail_if_exists) {
    auto const from = platform::detail::host_path_of_name(existing_file_name);
    if (!from) return FALSE;
    auto const to = platform::detail::host_path_of_name(new_file_name);
    if (!to) return FALSE;
    struct stat source;
    if (stat(from->c_str(), &source) != 0) return fail_with(entry_error(errno, *from));
    if (!S_ISREG(source.st_mode)) return fail_with(ERROR_ACCESS_DENIED);
    std::string const folder = platform::detail::host_parent(*to);
    if (!platform::detail::is_host_folder(folder)) return fail_with(ERROR_PATH_NOT_FOUND);
    if (!may_replace(source, *to, fail_if_exists)) return FALSE;

    std::string copy = folder + "/.copying-XXXXXX";
    if (int const error = write_copy(*from, source, copy)) return fail_with(platform::detail::error_from_errno(error));
    int const error = fail_if_exists ? platform::detail::rename_without_replacing(copy, *to)
                                     : (rename(copy.c_str(), to->c_str()) == 0 ? 0 : errno);
    if (error) {
        unlink(copy.c_str());
        return fail_with(error == EEXIST ? ERROR_FILE_EXISTS : platform::detail::error_from_errno(error));
    }
    return TRUE;
}
