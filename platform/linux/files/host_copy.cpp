#include "platform/linux/files/host_copy.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

namespace platform::detail {
namespace {

// The names in a folder other than "." and "..".
int list_names(const std::string& folder, std::vector<std::string>& names) {
    DIR* const dir = opendir(folder.c_str());
    if (!dir) return errno;
    while (dirent const* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(std::move(name));
    }
    closedir(dir);
    return 0;
}

int open_retrying(const char* path, int flags, mode_t mode) {
    int descriptor;
    do {
        descriptor = open(path, flags | O_CLOEXEC, mode);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

int copy_regular_file(const std::string& from, const std::string& to, const struct stat& status, bool& made) {
    int const source = open_retrying(from.c_str(), O_RDONLY, 0);
    if (source < 0) return errno;
    int const target = open_retrying(to.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (target < 0) {
        int const error = errno;
        close(source);
        return error;
    }
    made = true;
    int error = copy_file_data(source, target);
    if (!error) error = copy_file_status(target, status);
    close(source);
    if (close(target) != 0 && !error) error = errno;
    return error;
}

int copy_link(const std::string& from, const std::string& to, bool& made) {
    std::vector<char> target(PATH_MAX + 1);
    ssize_t const length = readlink(from.c_str(), target.data(), target.size() - 1);
    if (length < 0) return errno;
    target[static_cast<std::size_t>(length)] = '\0';
    if (symlink(target.data(), to.c_str()) != 0) return errno;
    made = true;
    return 0;
}

int copy_folder(const std::string& from, const std::string& to, const struct stat& status, bool& made) {
    std::vector<std::string> names;
    if (int const error = list_names(from, names)) return error;
    if (mkdir(to.c_str(), 0700) != 0) return errno;
    made = true;
    for (auto const& name : names) {
        bool made_inside = false;
        if (int const error = copy_tree(from + "/" + name, to + "/" + name, made_inside)) return error;
    }
    // Permissions and times last: a read-only folder is filled first, and filling it
    // changes its modification time.
    struct timespec const times[2] = {status.st_atim, status.st_mtim};
    if (chmod(to.c_str(), status.st_mode & 07777) != 0) return errno;
    if (utimensat(AT_FDCWD, to.c_str(), times, 0) != 0) return errno;
    return 0;
}

}  // namespace

int copy_file_data(int from_descriptor, int to_descriptor) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
        ssize_t const got = read(from_descriptor, buffer.data(), buffer.size());
        if (got == 0) return 0;
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        ssize_t done = 0;
        while (done < got) {
            ssize_t const put = write(to_descriptor, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            done += put;
        }
    }
}

int copy_file_status(int to_descriptor, const struct stat& from_status) {
    struct timespec const times[2] = {from_status.st_atim, from_status.st_mtim};
    if (fchmod(to_descriptor, from_status.st_mode & 07777) != 0) return errno;
    if (futimens(to_descriptor, times) != 0) return errno;
    return 0;
}

int copy_tree(const std::string& from, const std::string& to, bool& made) {
    made = false;
    struct stat status;
    if (lstat(from.c_str(), &status) != 0) return errno;
    if (S_ISDIR(status.st_mode)) return copy_folder(from, to, status, made);
    if (S_ISREG(status.st_mode)) return copy_regular_file(from, to, status, made);
    if (S_ISLNK(status.st_mode)) return copy_link(from, to, made);
    return ENOTSUP;
}

int remove_tree(const std::string& path) {
    struct stat status;
    if (lstat(path.c_str(), &status) != 0) return errno;
    if (!S_ISDIR(status.st_mode)) return unlink(path.c_str()) == 0 ? 0 : errno;
    std::vector<std::string> names;
    if (int const error = list_names(path, names)) return error;
    for (auto const& name : names) {
        if (int const error = remove_tree(path + "/" + name)) return error;
    }
    return rmdir(path.c_str()) == 0 ? 0 : errno;
}

int rename_without_replacing(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // The host file system cannot refuse the replacement itself.
    struct stat status;
    if (lstat(to.c_str(), &status) == 0) return EEXIST;
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace platform::detail
