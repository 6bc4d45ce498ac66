#include "platform/linux/registry/registry_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unordered_map>

#include "platform/device.h"
#include "platform/linux/kernel/errors.h"
#include "platform/linux/files/host_io.h"
#include "platform/linux/registry/registry_format.h"
#include "platform/linux/registry/registry_seed.h"
#include "platform/registry.h"

namespace platform::detail {
namespace {

// Identifies one version of a hive file: every change makes a new file.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    static FileStamp of(const struct stat& info) {
        return FileStamp{true, info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
    }

    bool operator==(const FileStamp& other) const {
        return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

struct CachedHive {
    FileStamp stamp;
    std::unique_ptr<RegistryKey> root;
    // False when the stored file held something that could not be read.
    bool complete = true;
};

std::unordered_map<std::string, CachedHive>& cache() {
    static auto* const hives = new std::unordered_map<std::string, CachedHive>;  // lives to the process end
    return *hives;
}

std::string hive_file(const std::string& base) { return base + ".hive"; }
std::string lock_file(const std::string& base) { return base + ".lock"; }
std::string new_file(const std::string& base) { return base + ".new"; }

FileStamp stamp_of_path(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return FileStamp{};
    return FileStamp::of(info);
}

// A hive that cannot be read counts as empty (and as incomplete); one that was never stored
// holds the keys that a new device comes with.
void read_hive(const std::string& base, CachedHive& entry) {
    entry.stamp = FileStamp{};
    std::string text;
    FileDescriptor file(::open(hive_file(base).c_str(), O_RDONLY | O_CLOEXEC));
    bool const never_stored = !file.valid() && errno == ENOENT;
    bool read = never_stored;
    struct stat info;
    if (file.valid() && ::fstat(file.get(), &info) == 0 && S_ISREG(info.st_mode)) {
        entry.stamp = FileStamp::of(info);
        read = read_all(file.get(), text);
        if (!read) text.clear();
    }
    bool parsed = true;
    entry.root = parse_hive(text, &parsed);
    entry.complete = read && parsed;
    if (never_stored) seed_new_hive(base, *entry.root);
}

// Keeps the stored file that could not be read whole under a name of its own
// ("<root>.hive.bad", then ".bad2" ...) before a change replaces it. The file stays at its
// place until the change is stored.
DWORD keep_aside(const std::string& base) {
    std::string const hive = hive_file(base);
    for (int attempt = 1; attempt < 1000; ++attempt) {
        std::string const aside = hive + ".bad" + (attempt == 1 ? "" : std::to_string(attempt));
        if (::link(hive.c_str(), aside.c_str()) == 0) return ERROR_SUCCESS;
        if (errno == EEXIST) continue;
        if (errno == ENOENT) return ERROR_SUCCESS;  // nothing there to keep
        // A folder without hard links: a copy does as well.
        std::string text;
        FileDescriptor from(::open(hive.c_str(), O_RDONLY | O_CLOEXEC));
        FileDescriptor to(::open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
        if (!from.valid() || !to.valid() || !read_all(from.get(), text) || !write_all(to.get(), text) ||
            ::fsync(to.get()) != 0)
            return error_from_errno(errno);
        return ERROR_SUCCESS;
    }
    return ERROR_FILE_EXISTS;
}

CachedHive& load(const std::string& base) {
    CachedHive& entry = cache()[base];
    if (!entry.root || !(entry.stamp == stamp_of_path(hive_file(base)))) read_hive(base, entry);
    return entry;
}

void sync_folder(const std::string& folder) {
    FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.valid()) ::fsync(directory.get());
}

// Replaces the hive file as one step; the stamp of the new file on success.
DWORD store(const std::string& base, const std::string& text, FileStamp& stamp) {
    std::string const temporary = new_file(base);
    FileDescriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!file.valid()) return error_from_errno(errno);
    if (!write_all(file.get(), text) || ::fsync(file.get()) != 0 ||
        ::rename(temporary.c_str(), hive_file(base).c_str()) != 0) {
        DWORD const error = error_from_errno(errno);
        ::unlink(temporary.c_str());
        return error;
    }
    // The change is stored; a stamp that cannot be taken only makes the next use read it again.
    struct stat info;
    stamp = ::fstat(file.get(), &info) == 0 ? FileStamp::of(info) : FileStamp{};
    sync_folder(std::filesystem::path(base).parent_path().string());
    return ERROR_SUCCESS;
}

bool lock(int fd) {
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

const char* root_name(HKEY root) {
    if (root == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
    if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
    if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
    if (root == HKEY_USERS) return "HKEY_USERS";
    return nullptr;
}

}  // namespace

std::string hive_base_path(HKEY root) {
    char const* name = root_name(root);
    return name ? platform::device_folder() + "/registry/" + name : std::string();
}

RegistryKey& current_hive(const std::string& base_path) { return *load(base_path).root; }

void forget_cached_hives() { cache().clear(); }

FILETIME hive_last_write_time(const std::string& base_path) {
    FileStamp const& stamp = load(base_path).stamp;
    if (!stamp.exists) return FILETIME{0, 0};
    constexpr std::uint64_t intervals_1601_to_1970 = 116444736000000000ull;
    std::uint64_t const intervals = intervals_1601_to_1970 + std::uint64_t(stamp.modified.tv_sec) * 10000000u +
                                    std::uint64_t(stamp.modified.tv_nsec) / 100u;
    return FILETIME{static_cast<DWORD>(intervals), static_cast<DWORD>(intervals >> 32)};
}

DWORD change_hive(const std::string& base_path, const std::function<DWORD(RegistryKey& root)>& edit) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(base_path).parent_path(), ignored);
    FileDescriptor lock_holder(::open(lock_file(base_path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (!lock_holder.valid() || !lock(lock_holder.get())) return error_from_errno(errno);

    CachedHive& entry = load(base_path);
    DWORD const result = edit(*entry.root);
    if (result != ERROR_SUCCESS) return result;
    if (!entry.complete) {
        if (DWORD const kept = keep_aside(base_path); kept != ERROR_SUCCESS) {
            cache().erase(base_path);  // the edit is not stored over a file that was not kept
            return kept;
        }
    }

    FileStamp stamp;
    DWORD const stored = store(base_path, format_hive(*entry.root), stamp);
    if (stored != ERROR_SUCCESS) {
        cache().erase(base_path);  // the edit was not stored: read the hive again next time
        return stored;
    }
    entry.stamp = stamp;
    entry.complete = true;
    return ERROR_SUCCESS;
}

}  // namespace platform::detail
