#include "foundation/file_info.h"

#include "foundation/find_handle.h"
#include "foundation/paths.h"
#include "platform/datetime.h"
#include "platform/errors.h"
#include "platform/file_ops.h"

namespace os {
namespace {

DateTime local_time_of(const FILETIME& utc) {
    FILETIME local;
    DateTime time;
    if (FileTimeToLocalFileTime(&utc, &local)) time.set_filetime(local);
    return time;
}

}  // namespace

FileInfo::FileInfo(const std::u16string& path) : path_(path) {
    {
        WIN32_FIND_DATAW data;
        FindHandle const search(remove_trailing_separator(expanded_path(path)), data);
        if (search.found()) {
            attributes_ = data.dwFileAttributes;
            size_ = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            creation_time_ = local_time_of(data.ftCreationTime);
            last_write_time_ = local_time_of(data.ftLastWriteTime);
        }
    }
    last_error_ = GetLastError();
}

bool FileInfo::is_directory() const { return exists() && (attributes_ & FILE_ATTRIBUTE_DIRECTORY) != 0; }

bool FileInfo::is_read_only() const { return exists() && (attributes_ & FILE_ATTRIBUTE_READONLY) != 0; }

bool FileInfo::set_read_only(bool read_only) {
    // Adding the flag to "not found" would leave the attributes as they are and report success.
    if (!exists()) {
        last_error_ = ERROR_FILE_NOT_FOUND;
        return false;
    }
    std::uint32_t const attributes =
        read_only ? attributes_ | FILE_ATTRIBUTE_READONLY : attributes_ & ~FILE_ATTRIBUTE_READONLY;
    if (attributes == attributes_) return true;
    if (!SetFileAttributesW(expanded_path(path_).c_str(), attributes)) {
        last_error_ = GetLastError();
        return false;
    }
    attributes_ = attributes;
    return true;
}

bool FileInfo::remove() {
    std::u16string const path = expanded_path(path_);
    return succeeded(is_directory() ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str()));
}

bool FileInfo::move_to(const std::u16string& new_path) {
    return succeeded(MoveFileW(expanded_path(path_).c_str(), expanded_path(new_path).c_str()));
}

bool FileInfo::create_subfolder(const std::u16string& name) {
    return succeeded(CreateDirectoryW(expanded_path(join_path(path_, name)).c_str(), nullptr));
}

bool FileInfo::succeeded(bool platform_result) {
    last_error_ = GetLastError();
    return platform_result;
}

}  // namespace os
