#include "platform/linux/entries.h"

#include <cerrno>

#include "platform/device.h"
#include "platform/errors.h"
#include "platform/file_attributes.h"
#include "platform/files.h"
#include "platform/linux/errors.h"

namespace platform::detail {

bool has_invalid_name_character(std::u16string_view name) {
    for (char16_t const c : name) {
        if (c < 0x20) return true;
        if (std::u16string_view(u"*?<>|\":").find(c) != std::u16string_view::npos) return true;
    }
    return false;
}

namespace {

bool is_usable_name(LPCWSTR name) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (has_invalid_name_character(name)) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> host_path_of_name(LPCWSTR name) {
    if (!is_usable_name(name)) return std::nullopt;
    return host_path(name);
}

std::optional<std::string> host_path_of_program_name(LPCWSTR name) {
    if (!is_usable_name(name)) return std::nullopt;
    return host_path_of_program(name);
}

std::u16string_view last_component(std::u16string_view device_path) {
    std::size_t const separator = device_path.find_last_of(u"\\/");
    return separator == std::u16string_view::npos ? device_path : device_path.substr(separator + 1);
}

std::string host_parent(const std::string& host_path) { return host_path.substr(0, host_path.rfind('/')); }

bool is_device_root(const std::string& host_path) { return host_path == device_folder() + "/fs"; }

bool is_host_folder(const std::string& host_path) {
    struct stat status;
    return stat(host_path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

DWORD missing_entry_error(const std::string& host_path) {
    return is_host_folder(host_parent(host_path)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

DWORD entry_error(int host_error, const std::string& host_path) {
    if (host_error == ENOENT) return missing_entry_error(host_path);
    return error_from_errno(host_error);
}

bool is_read_only(mode_t mode) { return (mode & S_IWUSR) == 0; }

DWORD attributes_of(mode_t mode) {
    DWORD attributes = 0;
    if (S_ISDIR(mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (is_read_only(mode)) attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

BOOL fail_with(DWORD error) {
    SetLastError(error);
    return FALSE;
}

}  // namespace platform::detail
