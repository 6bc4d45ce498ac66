#include "platform/module.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/device.h"
#include "platform/errors.h"
#include "platform/unicode.h"

namespace {

std::u16string program_device_path() {
    if (char const* module = std::getenv("SONBRIX_MODULE"); module && *module) {
        return platform::utf8_to_utf16(module);
    }
    std::error_code error;
    std::filesystem::path const executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        if (auto inside = platform::device_path(executable.string())) return *inside;
    }
    std::string const name = error ? std::string("Sonbrix") : executable.filename().string();
    return u"\\Program Files\\Sonbrix\\" + platform::utf8_to_utf16(name);
}

}  // namespace

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
    if (module) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (!buffer && size > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string const path = program_device_path();
    if (path.size() < size) {
        path.copy(buffer, path.size());
        buffer[path.size()] = u'\0';
        return static_cast<DWORD>(path.size());
    }
    if (size > 0) {
        path.copy(buffer, size - 1);
        buffer[size - 1] = u'\0';
    }
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}
