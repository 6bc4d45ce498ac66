// Free space of the volume: GetDiskFreeSpaceExW.
#include <sys/statvfs.h>

#include <cerrno>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/linux/files/entries.h"

BOOL GetDiskFreeSpaceExW(LPCWSTR directory_name, PULARGE_INTEGER free_bytes_available_to_caller,
                         PULARGE_INTEGER total_number_of_bytes, PULARGE_INTEGER total_number_of_free_bytes) {
    auto const path = platform::detail::host_path_of_name(directory_name ? directory_name : u"\\");
    if (!path) return FALSE;
    struct statvfs volume;
    if (statvfs(path->c_str(), &volume) != 0) {
        return platform::detail::fail_with(platform::detail::entry_error(errno, *path));
    }
    auto const block = static_cast<ULONGLONG>(volume.f_frsize);
    if (free_bytes_available_to_caller) free_bytes_available_to_caller->QuadPart = volume.f_bavail * block;
    if (total_number_of_bytes) total_number_of_bytes->QuadPart = volume.f_blocks * block;
    if (total_number_of_free_bytes) total_number_of_free_bytes->QuadPart = volume.f_bfree * block;
    return TRUE;
}
